#pragma once
// A CAD library that forwards to another, records every call in order and makes chosen calls fail,
// so each failure of the library can be reached in-process.

#include <string>
#include <vector>

#include "platform/cad_library.h"

namespace velmora::testing {

enum class CadCall {
  Initialize,
  Terminate,
  AskAssemOptions,
  SetAssemOptions,
  PartOpen,
  PartSave,
  PartCloseAll
};

class FaultCad : public platform::CadLibrary {
 public:
  explicit FaultCad(platform::CadLibrary& inner) : inner_(&inner) {}

  // Fails the nth call of the kind (1 = the next one) and, with `always`, every later one. A
  // failed call does not reach the library.
  void Fail(CadCall call, int nth = 1, bool always = false);
  void Clear() { rules_.clear(); }

  // Every call made, in order: "initialize", "open D:\work\a.prt", "save", ...
  std::vector<std::string> calls;
  // When set, every call is appended there too, in the same form.
  std::vector<std::string>* trace = nullptr;

  bool Initialize() override;
  bool Terminate() override;
  std::optional<platform::AssemOptions> AskAssemOptions() override;
  bool SetAssemOptions(const platform::AssemOptions& options) override;
  bool PartOpen(std::string_view path) override;
  bool PartSave() override;
  bool PartCloseAll() override;

 private:
  struct Rule {
    CadCall call;
    int nth;
    bool always;
    int seen = 0;
  };
  bool ShouldFail(CadCall call, std::string entry);

  platform::CadLibrary* inner_;
  std::vector<Rule> rules_;
};

}  // namespace velmora::testing
