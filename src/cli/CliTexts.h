#pragma once

// The texts only the command line shows. Every outcome it shares with the window is told in
// the window's own words (workflows/WorkflowTexts.h, engine/EngineTexts.h).
namespace velquist::cli_texts {

// The prompts of the two password entries, worded as the window labels its two boxes.
inline constexpr const char* kPasswordFirst = "密码：";
inline constexpr const char* kPasswordRepeat = "重复：";

// Only the command line meets these.
inline constexpr const char* kPictureMissing = "找不到图片文件：";
inline constexpr const char* kPictureIsFolder = "这是文件夹，不是图片文件：";
inline constexpr const char* kMessageMissing = "找不到要嵌入的信息文件：";
inline constexpr const char* kMessageIsFolder = "这是文件夹，不是信息文件：";
inline constexpr const char* kReadFailed = "无法读取文件：";
inline constexpr const char* kOutputFailed = "无法创建输出文件：";
inline constexpr const char* kWipeFailed = "清除失败：";
inline constexpr const char* kOutputExists = "输出文件已经存在；要替换它，请加上 --force：";
inline constexpr const char* kReplaceOutput = "已经存在，要替换它吗？(y/N) ";
inline constexpr const char* kPasswordTooLong = "密码最多8位，且只能是可打印的ASCII字符。";
inline constexpr const char* kNoTerminal =
    "这张图片的信息受密码保护，但没有终端可以输入密码；请用 --password-stdin 从标准输入提供密码。";
inline constexpr const char* kNoTerminalForHide =
    "没有终端可以输入密码；请用 --password-stdin 从标准输入提供密码。";
inline constexpr const char* kUsageError = "用法错误：";
inline constexpr const char* kNoCommand = "缺少子命令";
inline constexpr const char* kUnknownCommand = "未知的子命令 ";
inline constexpr const char* kUnknownOption = "此子命令不接受选项 ";
inline constexpr const char* kMissingDir = "--output-dir 后面缺少目录";
inline constexpr const char* kWrongOperands = "文件参数的个数不对";
inline constexpr const char* kSeeHelp = "请运行 velquist-cli --help 查看用法。";

// Labels of inspect's plain output; the JSON keys stay English for tools.
inline constexpr const char* kLabelBitCount = "位数";
inline constexpr const char* kLabelHoldsData = "隐藏信息";
inline constexpr const char* kLabelVersion = "格式版本";
inline constexpr const char* kLabelProtected = "密码保护";
inline constexpr const char* kLabelExtension = "扩展名";
inline constexpr const char* kLabelLength = "信息长度（字节）";
inline constexpr const char* kLabelCapacityBytes = "最大可嵌入（字节）";
inline constexpr const char* kLabelCapacityKb = "可嵌入（KB）";
inline constexpr const char* kYes = "有";
inline constexpr const char* kNo = "无";
inline constexpr const char* kProtectedYes = "是";
inline constexpr const char* kProtectedNo = "否";

inline constexpr const char* kHelp = R"(velquist-cli：把一个文件藏进24位BMP图片，或从图片里取出来。

用法：
  velquist-cli inspect 图片 [--json]
      显示位数、是否有隐藏信息、格式版本、是否有密码、扩展名、信息长度和容量。
  velquist-cli hide 图片 信息文件 [--password] [--password-stdin]
      把信息文件嵌入图片（图片被原地修改，长度不变）。
      --password        在终端上输入两次密码（不回显，最多8个可打印ASCII字符）
      --password-stdin  从标准输入读一行作为密码（隐含 --password）
  velquist-cli extract 图片 [--output-dir 目录] [--wipe] [--password-stdin]
      取出信息，写为 目录/output.扩展名（目录默认为当前目录），并在标准输出打印其路径。
      受密码保护时在终端上询问密码，或用 --password-stdin 从标准输入读取。
      --wipe            取出成功后清除图片内的隐藏信息
  velquist-cli wipe 图片
      清除图片内的隐藏信息。
  velquist-cli --help | --version

密码从不作为命令行参数传入（其他用户能从进程列表看到它）。
结果写到标准输出，消息写到标准错误。

退出状态：
  0  成功
  2  用法错误（参数不对，或需要密码却没有终端也没有 --password-stdin）
  3  拒绝：图片没有隐藏信息、密码不正确、版本号不同、信息太大、图片内已有隐藏信息、两次密码不同
  4  图片不可用：文件不存在、是文件夹、已截断或损坏、不是24位色
  5  输入输出失败：信息文件无法读取、输出文件无法创建、读写出错
)";

}  // namespace velquist::cli_texts
