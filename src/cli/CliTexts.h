// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Every text the command line shows, in English; each one is a message id of the
// velquist-cli catalog (po/zh_CN.po), which gives an outcome the window also tells in the
// window's own words. Texts go through Tr() (cli/Localization.h) when shown.
namespace velquist::cli_texts {

// Marks a message id for the catalog's extraction; the text itself is the English message.
constexpr const char* Msgid(const char* english) { return english; }

// The prompts of the password entries.
inline constexpr const char* kPasswordFirst = Msgid("Password: ");
inline constexpr const char* kPasswordRepeat = Msgid("Repeat: ");
inline constexpr const char* kPasswordPrompt = Msgid("Enter the password: ");

// Outcomes the window tells too.
inline constexpr const char* kNot24Bit = Msgid("The picture is not in 24-bit colour; choose a 24-bit picture.");
inline constexpr const char* kHideHasData =
    Msgid("The picture already holds hidden data; nothing can be hidden in it.");
inline constexpr const char* kPasswordsDiffer = Msgid("The passwords differ.");
inline constexpr const char* kNothingToExtract = Msgid("There is no hidden data to take out.");
inline constexpr const char* kNoHidden = Msgid("This picture holds no hidden data.");
inline constexpr const char* kOtherVersion =
    Msgid("The data was hidden by another format version; upgrade the program.");
inline constexpr const char* kWrongPassword = Msgid("Sorry, you may not take out the hidden data.");
inline constexpr const char* kExtractDone = Msgid("The hidden data has been taken out.");
inline constexpr const char* kWiped = Msgid("The hidden data has been wiped.");
inline constexpr const char* kBadExtension =
    Msgid("This file name is not supported: the file must have one extension of exactly three characters.");
inline constexpr const char* kProgress = Msgid("Progress");
inline constexpr const char* kVerifyingPassword = Msgid("Checking the password");
inline constexpr const char* kTooLarge = Msgid("The message is too large to hide in this picture.");
inline constexpr const char* kEmbedDone = Msgid("The message has been hidden.");
inline constexpr const char* kEmbedFailed =
    Msgid("An unexpected error occurred; the BMP file may be read-only. Please check it, and "
          "contact the author if the problem remains.");
inline constexpr const char* kStealthHideFailed =
    Msgid("An unexpected error occurred; the picture could not be written and the message was not "
          "hidden. Please check that the picture file can be written, and contact the author if "
          "the problem remains.");
inline constexpr const char* kRewriteFailed =
    Msgid("An unexpected error occurred; the picture could not be written anew and is left as it "
          "was. Please check that its folder can be written to, and contact the author if the "
          "problem remains.");
inline constexpr const char* kWipeFailed =
    Msgid("An unexpected error occurred; the hidden data could not be wiped, perhaps the picture "
          "file is read-only. Please check it, and contact the author if the problem remains.");
inline constexpr const char* kExtractFailed =
    Msgid("An unexpected error occurred; perhaps the output file's attributes are wrong, for "
          "example read-only. Please check them, and contact the author if the problem remains.");
inline constexpr const char* kDamaged = Msgid("The picture file is damaged and cannot be processed.");
inline constexpr const char* kNotUncompressed =
    Msgid("Only uncompressed 24-bit BMP pictures are supported; choose another picture.");
inline constexpr const char* kUnsupportedPng =
    Msgid("Only 8-bit RGB or RGBA PNG pictures (24 or 32 bits per pixel) are supported; choose another picture.");
inline constexpr const char* kPngNeedsFormat3 =
    Msgid("A PNG picture carries format 3 only: add --format 3 and --password or --password-stdin");
inline constexpr const char* kCannotOpenPicture =
    Msgid("Cannot open the picture file; make sure it exists and can be read.");
inline constexpr const char* kCarrierBusy =
    Msgid("The picture is being used by another program; try again later.");
inline constexpr const char* kOutputIsCarrier =
    Msgid("The output file is the picture itself; choose another output folder.");
inline constexpr const char* kMessageUnreadable =
    Msgid("Cannot read the message file; make sure it exists and can be read.");
inline constexpr const char* kCarrierGone =
    Msgid("The picture file is gone; it may have been moved, renamed or deleted.");
inline constexpr const char* kNoMemory =
    Msgid("There is not enough memory to check the password; close other programs and try again.");
inline constexpr const char* kNoMemoryToWrite =
    Msgid("There is not enough memory to change the picture; close other programs and try again.");

// The second line of a failure: the file concerned, then why.
inline constexpr const char* kCauseSeparator = Msgid(": ");
inline constexpr const char* kCauseNoSpace = Msgid("no space left on the disk");
inline constexpr const char* kCauseTooLarge = Msgid("the file would be larger than the system allows");
inline constexpr const char* kCauseFolderMissing = Msgid("the output folder does not exist");
inline constexpr const char* kCausePermission =
    Msgid("permission denied (the file, folder or disk is read-only or protected)");
inline constexpr const char* kCauseNotFound = Msgid("no such file or folder");
inline constexpr const char* kCauseNotRegular = Msgid("not a regular file");
inline constexpr const char* kCauseChanged = Msgid("the file changed while it was being worked on");
inline constexpr const char* kCauseBusy = Msgid("in use by another program");
inline constexpr const char* kCauseReplaced = Msgid("another file has taken its name");
inline constexpr const char* kCauseOtherLinks =
    Msgid("the picture has other names (hard links), which a rewrite would leave holding the old picture");
inline constexpr const char* kCauseOwnerNotKept =
    Msgid("the picture belongs to another user; a rewrite would change its owner");
inline constexpr const char* kCauseAclNotKept =
    Msgid("a rewrite cannot keep the picture's access control list (ACL)");
inline constexpr const char* kCauseAttributesNotKept =
    Msgid("a rewrite cannot keep the picture's extended attributes");

// Only the command line meets these.
inline constexpr const char* kCarrierReplaced =
    Msgid("Another file now stands where the picture was; nothing was done to it.");
inline constexpr const char* kReadFailed = Msgid("Cannot read the file: ");
inline constexpr const char* kUnexpected = Msgid("An unexpected error occurred: ");
inline constexpr const char* kOutputExists =
    Msgid("The output file already exists; add --force to replace it: ");
inline constexpr const char* kOutputKept = Msgid("The output file already exists and was kept: ");
inline constexpr const char* kReplaceOutput = Msgid(" already exists; replace it? (y/N) ");
inline constexpr const char* kStdoutFailed = Msgid("Cannot write to standard output: ");
inline constexpr const char* kPasswordTooLong =
    Msgid("A format-1 password has at most 8 characters, printable ASCII only.");
inline constexpr const char* kEncryptedPasswordLength =
    Msgid("A password that encrypts has 1 to 64 characters.");
inline constexpr const char* kFormatNeedsPassword =
    Msgid("--format 2 encrypts with a password: add --password or --password-stdin");
inline constexpr const char* kStealthNeedsPassphrase =
    Msgid("--format 3 hides with a passphrase: add --password or --password-stdin");
inline constexpr const char* kPassphraseLength =
    Msgid("A format-3 passphrase has 1 to 256 bytes.");
inline constexpr const char* kStealthLarge =
    Msgid("Warning: the larger the message, the easier it is to detect; below this many bytes is safer: ");
inline constexpr const char* kPasswordEmpty = Msgid("The password is empty; an empty password protects nothing.");
inline constexpr const char* kVersion1Warning =
    Msgid("Warning: format version 1 stores the password in clear; anyone who has the picture can read it.");
inline constexpr const char* kNoTerminal =
    Msgid("The hidden data is protected by a password, but there is no terminal to enter it on; "
          "give it on standard input with --password-stdin.");
inline constexpr const char* kNoTerminalForHide =
    Msgid("There is no terminal to enter a password on; give it on standard input with --password-stdin.");
inline constexpr const char* kUsageError = Msgid("usage error: ");
inline constexpr const char* kNoCommand = Msgid("missing subcommand");
inline constexpr const char* kUnknownCommand = Msgid("unknown subcommand ");
inline constexpr const char* kUnknownOption = Msgid("this subcommand does not take the option ");
inline constexpr const char* kMissingDir = Msgid("--output-dir needs a folder");
inline constexpr const char* kBadFormat = Msgid("--format takes 1, 2 or 3");
inline constexpr const char* kPasswordTwice = Msgid("--password and --password-stdin exclude each other");
inline constexpr const char* kWrongOperands = Msgid("wrong number of file arguments");
inline constexpr const char* kSeeHelp = Msgid("Run velquist-cli --help to see the usage.");

// Labels of inspect's plain output; the JSON keys stay English for tools.
inline constexpr const char* kLabelContainer = Msgid("picture file");
inline constexpr const char* kLabelBitCount = Msgid("bit count");
inline constexpr const char* kLabelHoldsData = Msgid("hidden data");
inline constexpr const char* kLabelVersion = Msgid("format version");
inline constexpr const char* kLabelProtected = Msgid("password protected");
inline constexpr const char* kLabelEncrypted = Msgid("content encrypted");
inline constexpr const char* kLabelExtension = Msgid("extension");
inline constexpr const char* kLabelLength = Msgid("message length (bytes)");
inline constexpr const char* kLabelCapacityBytes = Msgid("largest message (bytes)");
inline constexpr const char* kLabelCapacityKb = Msgid("capacity (KB)");
inline constexpr const char* kLabelStealthCapacity = Msgid("largest format-3 file (bytes)");
inline constexpr const char* kLabelStealthSafe = Msgid("safe format-3 file (bytes)");
inline constexpr const char* kPresent = Msgid("present");
inline constexpr const char* kAbsent = Msgid("none");
inline constexpr const char* kYes = Msgid("yes");
inline constexpr const char* kNo = Msgid("no");

inline constexpr const char* kHelp = Msgid(R"(velquist-cli: hides a file inside a BMP or PNG picture, or takes it out again.

Usage:
  velquist-cli inspect PICTURE [--json]
      Shows the kind of picture file, the bit count, whether data is hidden,
      the format version, whether it is protected and encrypted, the
      extension, the message length and the capacity of each format.
  velquist-cli hide PICTURE MESSAGE [--password | --password-stdin]
                    [--format 1|2|3]
      Hides the message file in the picture, changed in place: a BMP keeps
      its length, a PNG keeps every chunk but its image data.
      --password        asks for a password twice on the terminal, no echo
      --password-stdin  reads the password from one line of standard input
      --format 1|2|3    the format of a protected message: 2 (the default)
                        encrypts it, with a password of 1 to 64 characters;
                        3 encrypts it and leaves no mark, moving samples by
                        one where that is hardest to detect, with a
                        passphrase of 1 to 256 bytes; it is the only format
                        a PNG (8-bit RGB or RGBA) takes; 1 stores the
                        password (1 to 8 printable ASCII characters) in
                        clear, for programs that know only 1
  velquist-cli extract PICTURE [--output-dir DIR] [--wipe] [--force]
                       [--password | --password-stdin]
      Takes the message out to DIR/output.EXT, or a format-3 file to DIR
      under its own name (DIR defaults to the current folder), and prints
      its path on standard output once everything is done. A protected
      message asks for the password on the terminal, or reads it from
      standard input with --password-stdin. A format-3 message shows no
      mark: it is looked for only when a password is given.
      --wipe            wipes the hidden data from the picture afterwards
      --force           replaces an existing output file without asking
  velquist-cli wipe PICTURE [--password | --password-stdin]
      Wipes the hidden data from the picture; format 3 needs its passphrase.
  velquist-cli --help | --version

A password is never taken as an argument (other users could read it in the
process list). Results go to standard output, messages to standard error.
Messages are in Chinese when the first of LANGUAGE, LC_ALL, LC_MESSAGES and
LANG that is set names a zh locale, in English otherwise.

Exit status:
  0  success
  2  usage error: wrong arguments; a password that is empty, too long or of
     characters its format cannot store; --format 2 or 3 without a
     password; a PNG with a format other than 3; a password is needed and
     there is neither a terminal nor --password-stdin
  3  refused: no hidden data, wrong password, another format version, message
     too large, picture already holds data, the two passwords differ, the
     output exists (kept after a "no", or with no terminal to ask and no
     --force), the output is the picture itself, the picture is in use by
     another program
  4  picture unusable: missing or gone, not a regular file, truncated or
     damaged, not 24-bit, compressed, a PNG other than 8-bit RGB or RGBA
  5  input/output failure: the message cannot be read, the output folder is
     missing or the output cannot be created, a read or write failed (a full
     disk, a file-size limit), standard output cannot be written, no memory
     to check a password or to change the picture
)");

}  // namespace velquist::cli_texts
