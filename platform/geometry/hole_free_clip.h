#pragma once

#include <polyclipping/clipper.hpp>

namespace gm {

// Clips subject with clip under the even-odd rule and returns the result as
// outer rings only: every region with holes is cut into pieces without holes
// that together cover exactly that region. Returns false when the clipping
// engine fails.
bool clipWithoutHoles(const ClipperLib::Path& subject, const ClipperLib::Path& clip,
                      ClipperLib::ClipType type, ClipperLib::Paths& pieces);

}  // namespace gm
