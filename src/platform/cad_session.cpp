#include "platform/cad_library.h"

namespace velmora::platform {

CadSession::~CadSession() {
  if (open_)
    (void)library_->Terminate();  // nobody is left to tell
}

bool CadSession::Open() {
  open_ = library_->Initialize();
  return open_;
}

// Terminates even a session whose start failed: the caller decides when, as the window's protocol
// has it.
bool CadSession::Close() {
  open_ = false;
  return library_->Terminate();
}

}  // namespace velmora::platform
