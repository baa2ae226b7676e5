#pragma once
// Finding ImageMagick's "convert" on PATH. Some hosts put a wrapper script of
// that name first on PATH that only passes pictures on: such a script is not
// ImageMagick, and the tagging script must not depend on it.
#include <string>

namespace tarvelon {

// Host path of the first "convert" on PATH that is a compiled program and
// answers "-version" with "Version: ImageMagick"; empty when there is none.
// The answer is kept for as long as PATH does not change.
std::string ImageMagickConvertPath();

}  // namespace tarvelon
