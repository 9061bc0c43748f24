// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Every text the hide and extract commands and their passes show, in one place. Leading and
// trailing blanks centre a prompt in its box and belong to it.
namespace velquist::texts {

// What a pass shows while it runs, and how it ends.
inline constexpr const char* kProgressStatus = "                        完成度";
inline constexpr const char* kVerifyingPassword = "正在核实密码……";
inline constexpr const char* kTooLarge = "信息太大，不可以嵌入！";
inline constexpr const char* kTooLargeTitle = "注意";
inline constexpr const char* kEmbedDone = "嵌入完成！";
inline constexpr const char* kEmbedDoneTitle = "消息";
inline constexpr const char* kEmbedFailed =
    "发生了异常错误，可能是 BMP文件为只读属性，请检查！若无法解决问题，请与作者联系！";
inline constexpr const char* kStealthHideFailed =
    "发生了异常错误，无法写入图片，信息没有嵌入，请检查图片文件是否可以写入！若无法解决问题，请与作者联系！";
inline constexpr const char* kRewriteFailed =
    "发生了异常错误，无法重新写入图片，图片保持原样，请检查图片所在的文件夹是否可以写入！若无法解决问题，请与作者联系！";
inline constexpr const char* kWipeFailed =
    "发生了异常错误，无法清除隐藏信息，可能是图片文件为只读属性，请检查！若无法解决问题，请与作者联系！";
inline constexpr const char* kExtractFailed =
    "发生了异常错误，也许是输出文件的相关属性设置不正确，比如为只读属性，请确认，若无法解决问题，请与作者联系！";
inline constexpr const char* kDamaged = "图片文件已损坏，无法处理！";
inline constexpr const char* kDamagedTitle = "错误";
inline constexpr const char* kNotUncompressed = "只支持未压缩的24位色BMP图片，请选择其它图片！";
inline constexpr const char* kNotUncompressedTitle = "错误";
inline constexpr const char* kUnsupportedPng = "只支持24位或32位色的PNG图片，请选择其它图片！";
inline constexpr const char* kUnsupportedPngTitle = "错误";
inline constexpr const char* kPngNeedsStealth = "PNG图片只能以不留痕迹方式嵌入，请勾选不留痕迹并输入密码！";
inline constexpr const char* kPngNeedsStealthTitle = "注意";
inline constexpr const char* kMessageUnreadable = "无法读取信息文件，请确认文件存在并且可以读取！";
inline constexpr const char* kCarrierGone = "图片文件已不存在，可能被移动、改名或删除了，请重新选择图片！";
inline constexpr const char* kCarrierReplaced = "图片文件已被另一个文件替换，请重新选择图片！";
inline constexpr const char* kCarrierChangedTitle = "错误";
inline constexpr const char* kNoMemory = "内存不足，无法核实密码，请关闭其他程序后再试！";
inline constexpr const char* kNoMemoryToWrite = "内存不足，无法修改图片，请关闭其他程序后再试！";
inline constexpr const char* kNoMemoryTitle = "错误";

// Choosing and inspecting the carrier.
inline constexpr const char* kOpenPictureTitle = "打开 BMP图片";
inline constexpr const char* kPicturePattern = "BMP或PNG图片 (*.bmp *.png)";
inline constexpr const char* kNot24Bit = "图片不是24位色格式，请选择24位色图片！";
inline constexpr const char* kCannotOpenPicture = "无法打开图片文件，请确认文件存在并且可以读取！";
inline constexpr const char* kCannotOpenPictureTitle = "错误";
inline constexpr const char* kCurrentPicture = "当前图片:";
inline constexpr const char* kHoldsHidden = "图片内有隐藏信息";
inline constexpr const char* kExtractTo = "隐藏信息将被取出到：";
inline constexpr const char* kNoHidden = "这张图片没有隐藏信息";
inline constexpr const char* kCapacityBefore = "您可以嵌入的信息大小不超过";
inline constexpr const char* kCapacityAfter = "KB";

// Choosing the message file.
inline constexpr const char* kChoosePictureFirst = "请先选择图片！";
inline constexpr const char* kChoosePictureFirstTitle = "注意";
inline constexpr const char* kPictureHasData = "图片里有信息，不可选择文件";
inline constexpr const char* kPictureHasDataTitle = "错误";
inline constexpr const char* kChooseMessageTitle = "选择 欲嵌入的信息文件";
// Every file, those without a dot in their name included.
inline constexpr const char* kAnyPattern = "*";
inline constexpr const char* kMessageFile = "欲嵌入的文件:";
inline constexpr const char* kBadExtension = "该文件名不被支持,请确认文件有且仅有3位扩展名！！！";
inline constexpr const char* kBadExtensionTitle = "错误";

// The hide command.
inline constexpr const char* kHideNoPicture = "  请先选择图片！  ";
inline constexpr const char* kHideNoPictureTitle = "错误 ";
inline constexpr const char* kHideHasData = "   图片内有隐藏信息，不可嵌入！  ";
inline constexpr const char* kHideHasDataTitle = "错误";
inline constexpr const char* kHideNoMessage = "   请选择要嵌入的信息文件！   ";
inline constexpr const char* kHideNoMessageTitle = "注意";
inline constexpr const char* kPasswordsDiffer = " 密码不相同！！";
inline constexpr const char* kPasswordsDifferTitle = "警告！";
inline constexpr const char* kEncryptionNeedsPassword = "加密需要密码，请输入密码！";
inline constexpr const char* kEncryptionNeedsPasswordTitle = "注意";
inline constexpr const char* kStealthLarge = "信息较大，容易被检测出来，仍然要嵌入吗？";
inline constexpr const char* kHideStart = "    按下[确定]键将开始嵌入信息    ";
inline constexpr const char* kHideStartTitle = "准备";

// The extract command.
inline constexpr const char* kExtractNoPicture = "    请先选择图片！   ";
inline constexpr const char* kExtractNoPictureTitle = "错误";
inline constexpr const char* kNothingToExtract = "没有信息可以取出！";
inline constexpr const char* kNothingToExtractTitle = "错误";
inline constexpr const char* kOtherVersion = "      版本号不同，请升级软件！    ";
inline constexpr const char* kOtherVersionTitle = "注意！";
inline constexpr const char* kPasswordPrompt = "请输入密码： ";
inline constexpr const char* kPasswordTitle = "核实权限";
inline constexpr const char* kWrongPassword = "对不起，您无权取出信息！";
inline constexpr const char* kWrongPasswordTitle = "密码不正确";
inline constexpr const char* kExtractStart = "   隐藏信息即将取出到：  ";
inline constexpr const char* kExtractStartTitle = "准备开始";
inline constexpr const char* kExtractDone = "信息取出完成！";
inline constexpr const char* kExtractDoneTitle = "完成";
inline constexpr const char* kReadNow = "     你愿意现在就阅读内容吗？     ";
inline constexpr const char* kDeleteNow = "  不知信息是否对您有用？您想将它删除吗？  ";
inline constexpr const char* kQuestionTitle = "选择";
inline constexpr const char* kDeleted = "  已删除！";
inline constexpr const char* kDeletedTitle = "消息";
inline constexpr const char* kDeleteFailed = "  删除失败！";
inline constexpr const char* kDeleteFailedTitle = "错误";
inline constexpr const char* kWiped = "    信息已清除    ";
inline constexpr const char* kWipedTitle = "消息";
inline constexpr const char* kWipedStatus = "隐藏信息已被清除！";
inline constexpr const char* kNoMessageChosen = "欲嵌入的文件：无";
inline constexpr const char* kOutputIsCarrier = "输出文件就是这张图片本身，请更改信息输出路径！";
inline constexpr const char* kOutputIsCarrierTitle = "错误";
inline constexpr const char* kReplaceOutput = "  已经存在，要替换它吗？";
inline constexpr const char* kCannotOpenOutput = "无法打开文件：";
inline constexpr const char* kCannotOpenOutputTitle = "注意";

// Any command on a picture that another program is writing.
inline constexpr const char* kCarrierBusy = "图片正在被其他程序使用，请稍后再试！";
inline constexpr const char* kCarrierBusyTitle = "错误";

// The second line of a failure box: the file concerned, then why.
inline constexpr const char* kCauseSeparator = "：";
inline constexpr const char* kCauseNoSpace = "磁盘空间不足";
inline constexpr const char* kCauseTooLarge = "文件超过了系统允许的大小";
inline constexpr const char* kCauseFolderMissing = "输出文件夹不存在";
inline constexpr const char* kCausePermission = "没有权限（文件、文件夹或磁盘是只读的或受保护的）";
inline constexpr const char* kCauseNotFound = "文件或文件夹不存在";
inline constexpr const char* kCauseNotRegular = "不是普通文件";
inline constexpr const char* kCauseChanged = "文件在处理过程中被改变了";
inline constexpr const char* kCauseBusy = "文件正被其他程序使用";
inline constexpr const char* kCauseReplaced = "另一个文件占用了它的名字";
inline constexpr const char* kCauseOtherLinks = "图片还有其他名字（硬链接），改写后它们仍是原来的图片";
inline constexpr const char* kCauseOwnerNotKept = "图片属于其他用户，改写会改变它的所有者";
inline constexpr const char* kCauseAclNotKept = "改写无法保留图片的访问控制列表（ACL）";
inline constexpr const char* kCauseAttributesNotKept = "改写无法保留图片的扩展属性";

// Deleting the taken-out file: where it went, and the question when no trash can take it.
inline constexpr const char* kTrashed = "  已移到回收站";
inline constexpr const char* kDeleteForGood = "  无法移到回收站。要将它永久删除吗？  ";

}  // namespace velquist::texts
