#pragma once

namespace velquist::PlatformTexts {

// Title of every box that is shown without one.
inline constexpr const char* kApplicationTitle = "Velquist";

// Button labels of the boxes; the user reads Chinese throughout.
inline constexpr const char* kOk = "确定";
inline constexpr const char* kYes = "是";
inline constexpr const char* kNo = "否";
inline constexpr const char* kCancel = "取消";

}  // namespace velquist::PlatformTexts
