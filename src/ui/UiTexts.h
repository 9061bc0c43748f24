// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace velquist::UiTexts {

// Main window.
inline constexpr const char* kMainCaption = " Velquist";
inline constexpr const char* kLabCue1 = "您没有选择任何图片";
inline constexpr const char* kLabCue2 = "欲嵌入的文件：无";
inline constexpr const char* kLabel5 = "24位色图片";
inline constexpr const char* kLabel4 = "信息文件：";
inline constexpr const char* kLabel3 = "信息文件 输出路径：";
inline constexpr const char* kCmdopen = "选择BMP文件";
inline constexpr const char* kCmdMsgSelect = "选择信息文件";
inline constexpr const char* kCmdchgOutPath = "更改信息输出路径";
inline constexpr const char* kFrame1 = "预览";
inline constexpr const char* kChkclearBmp = " 信息取出后将信息从BMP图片中清除";
inline constexpr const char* kChkPassword = " 使用密码(最长8位)";
inline constexpr const char* kLabel2 = "密码：";
inline constexpr const char* kLabel1 = "重复：";
inline constexpr const char* kChkEncrypt = " 加密信息内容";
inline constexpr const char* kChkStealth = " 不留痕迹";
inline constexpr const char* kCmdadd = "嵌入信息";
inline constexpr const char* kCmdout = "取出信息";
inline constexpr const char* kLabtmp = "欢迎使用本软件！！！";
inline constexpr const char* kLabfinish = " welcome";
inline constexpr const char* kTxtName = "Text3";
inline constexpr const char* kCmdexit = "退出";
// What went wrong where no command's own box could tell it.
inline constexpr const char* kUnexpectedError = "发生了意外错误：";

// The project has no site of its own: a reserved example name, short enough for the buttons
// that show it. Shown without its scheme, opened with it.
inline constexpr const char* kWebAddressShown = "vq.example";
inline constexpr const char* kWebAddress = "https://vq.example";
inline constexpr const char* kCmdAbout = kWebAddressShown;

// About window.
inline constexpr const char* kAboutCaption = "关于Velquist";
inline constexpr const char* kAboutCmdOk = kWebAddressShown;
inline constexpr const char* kAboutNotice =
    "Velquist 把一个文件藏进24位BMP图片，图片照常显示，长度不变。"
    "取出时需要同一张图片；设了密码的，还需要同一个密码。"
    "请只处理您有权处理的图片和文件。";
inline constexpr const char* kAboutTitleLine = "Velquist " VELQUIST_VERSION;
inline constexpr const char* kAboutPurposeLine = "在图片中藏文件的小工具";
inline constexpr const char* kAboutMadeByLine = "Velquist 开发组";
inline constexpr const char* kAboutThanksHeading = "致谢";
inline constexpr const char* kAboutThanksLine1 = "每一位试用者";
inline constexpr const char* kAboutThanksLine2 = "每一份错误报告";
inline constexpr const char* kAboutThanksLine3 = "每一条改进建议";
inline constexpr const char* kAboutFreeLine = "本软件可自由使用";
inline constexpr const char* kAboutWelcomeLine = "欢迎来信";

}  // namespace velquist::UiTexts
