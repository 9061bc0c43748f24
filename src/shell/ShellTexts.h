#pragma once

// The texts the main window's shell shows itself, in one place.
namespace velquist::texts {

inline constexpr const char* kBrowseOutputTitle = "选择脱壳文件夹";
inline constexpr const char* kUnpackTo = "隐藏信息将被脱壳到：";

}  // namespace velquist::texts
