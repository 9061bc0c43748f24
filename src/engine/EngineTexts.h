// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Every text the hiding engine shows, in one place.
namespace velquist::texts {

inline constexpr const char* kProgressStatus = "                        完成度";
inline constexpr const char* kTooLarge = "信息太大，不可以嵌入！";
inline constexpr const char* kTooLargeTitle = "注意";
inline constexpr const char* kEmbedDone = "嵌入完成！";
inline constexpr const char* kEmbedDoneTitle = "消息";
inline constexpr const char* kEmbedFailed =
    "发生了异常错误，可能是 BMP文件为只读属性，请检查！若无法解决问题，请与作者联系！";
inline constexpr const char* kExtractFailed =
    "发生了异常错误，也许是输出文件的相关属性设置不正确，比如为只读属性，请确认，若无法解决问题，请与作者联系！";
inline constexpr const char* kDamaged = "图片文件已损坏，无法处理！";
inline constexpr const char* kDamagedTitle = "错误";
inline constexpr const char* kVerifyingPassword = "正在核实密码……";
inline constexpr const char* kNotUncompressed = "只支持未压缩的24位色BMP图片，请选择其它图片！";
inline constexpr const char* kNotUncompressedTitle = "错误";

}  // namespace velquist::texts
