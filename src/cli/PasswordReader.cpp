#include "cli/PasswordReader.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace velquist::cli {

namespace {

// Opens the terminal for one question and puts it back as it was, echo included, when done.
class QuietTerminal {
public:
    explicit QuietTerminal(const std::string& path)
        : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC)) {
        if (fd_ < 0) return;
        if (::tcgetattr(fd_, &saved_) != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~QuietTerminal() {
        if (fd_ < 0) return;
        ::tcsetattr(fd_, TCSANOW, &saved_);
        ::close(fd_);
    }
    QuietTerminal(const QuietTerminal&) = delete;
    QuietTerminal& operator=(const QuietTerminal&) = delete;

    bool ok() const { return fd_ >= 0; }

    void Write(const std::string& text) const {
        std::size_t done = 0;
        while (done < text.size()) {
            ssize_t n = ::write(fd_, text.data() + done, text.size() - done);
            if (n <= 0) return;
            done += static_cast<std::size_t>(n);
        }
    }

    // Echo goes off before the prompt shows, so nothing typed after it can appear.
    std::string AskUnechoed(const std::string& prompt) const {
        termios quiet = saved_;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        quiet.c_lflag |= ECHONL;
        ::tcsetattr(fd_, TCSAFLUSH, &quiet);
        Write(prompt);
        std::string line;
        char c;
        while (::read(fd_, &c, 1) == 1 && c != '\n') line.push_back(c);
        return line;
    }

private:
    int fd_;
    termios saved_{};
};

}  // namespace

bool PasswordReader::CanAsk() const { return fromStdin_ || QuietTerminal(terminalPath_).ok(); }

std::string PasswordReader::Ask(const std::string& prompt) {
    if (!fromStdin_) return AskTerminal(prompt);
    std::string line;
    std::getline(in_, line);
    return line;
}

std::string PasswordReader::AskTerminal(const std::string& prompt) {
    QuietTerminal terminal(terminalPath_);
    if (!terminal.ok()) return "";
    return terminal.AskUnechoed(prompt);
}

}  // namespace velquist::cli
