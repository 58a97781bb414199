#pragma once
// What a pass over the structure and a copy of a part file are asked to do.

namespace velmora::operations {

// Inspect fills the structure columns, Check also refuses files in the way, Perform writes.
enum class PassMode { Inspect, Check, Perform };

// How a part file reaches its new place: the input part is always copied over what is there; a
// component only when missing; an ancestor when missing, else re-saved where it is.
enum class CopyMode { Overwrite, IfMissing, IfMissingElseResave };

}  // namespace velmora::operations
