// The program's homepage, shown by the About window.
#pragma once

namespace vorlane {

inline constexpr const char kHomepage[] = "https://vorlane.org";

}  // namespace vorlane
