#include "support/fault_cad.h"

namespace velmora::testing {

void FaultCad::Fail(CadCall call, int nth, bool always) {
  rules_.push_back(Rule{call, nth, always});
}

bool FaultCad::ShouldFail(CadCall call, std::string entry) {
  if (trace != nullptr)
    trace->push_back(entry);
  calls.push_back(std::move(entry));
  bool fail = false;
  for (Rule& rule : rules_) {
    if (rule.call != call)
      continue;
    ++rule.seen;
    if (rule.seen == rule.nth || (rule.always && rule.seen > rule.nth))
      fail = true;
  }
  return fail;
}

bool FaultCad::Initialize() {
  return !ShouldFail(CadCall::Initialize, "initialize") && inner_->Initialize();
}

bool FaultCad::Terminate() {
  return !ShouldFail(CadCall::Terminate, "terminate") && inner_->Terminate();
}

std::optional<platform::AssemOptions> FaultCad::AskAssemOptions() {
  if (ShouldFail(CadCall::AskAssemOptions, "ask options"))
    return std::nullopt;
  return inner_->AskAssemOptions();
}

bool FaultCad::SetAssemOptions(const platform::AssemOptions& options) {
  return !ShouldFail(CadCall::SetAssemOptions, "set options") && inner_->SetAssemOptions(options);
}

bool FaultCad::PartOpen(std::string_view path) {
  return !ShouldFail(CadCall::PartOpen, "open " + std::string(path)) && inner_->PartOpen(path);
}

bool FaultCad::PartSave() {
  return !ShouldFail(CadCall::PartSave, "save") && inner_->PartSave();
}

bool FaultCad::PartCloseAll() {
  return !ShouldFail(CadCall::PartCloseAll, "close all") && inner_->PartCloseAll();
}

}  // namespace velmora::testing
