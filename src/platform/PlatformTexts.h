// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace velquist::PlatformTexts {

// Title of every box that is shown without one.
inline constexpr const char* kApplicationTitle = "Velquist";

// Button labels of the boxes; the user reads Chinese throughout.
inline constexpr const char* kOk = "确定";
inline constexpr const char* kYes = "是";
inline constexpr const char* kNo = "否";
inline constexpr const char* kCancel = "取消";

// The file dialogs' type column: a folder, and a file whose type has no Chinese name
// (shown after its upper-case extension, when it has one).
inline constexpr const char* kFolderType = "文件夹";
inline constexpr const char* kFileType = "文件";

}  // namespace velquist::PlatformTexts
