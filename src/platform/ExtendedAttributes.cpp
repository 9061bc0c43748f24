// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ExtendedAttributes.h"

#include <sys/xattr.h>

#include <cerrno>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/FileError.h"

namespace velquist::ExtendedAttributes {

namespace {

bool StartsWith(std::string_view name, std::string_view prefix) {
    return name.substr(0, prefix.size()) == prefix;
}

// The names, each ended by a zero byte; empty where the file system keeps none. Another
// process may add an attribute between the two calls, so the size is asked again then.
std::vector<char> Names(int fd, const std::string& path, int number) {
    for (;;) {
        ssize_t size = ::flistxattr(fd, nullptr, 0);
        if (size < 0 && (errno == ENOTSUP || errno == EOPNOTSUPP)) return {};
        if (size < 0) throw FileError(FileOp::Attribute, path, errno, number);
        std::vector<char> names(static_cast<std::size_t>(size));
        ssize_t got = ::flistxattr(fd, names.data(), names.size());
        if (got >= 0) {
            names.resize(static_cast<std::size_t>(got));
            return names;
        }
        if (errno != ERANGE) throw FileError(FileOp::Attribute, path, errno, number);
    }
}

// The value, or an error number (ENODATA when the attribute went meanwhile).
int Value(int fd, const char* name, std::vector<char>& value) {
    for (;;) {
        ssize_t size = ::fgetxattr(fd, name, nullptr, 0);
        if (size < 0) return errno;
        value.resize(static_cast<std::size_t>(size));
        ssize_t got = ::fgetxattr(fd, name, value.data(), value.size());
        if (got >= 0) {
            value.resize(static_cast<std::size_t>(got));
            return 0;
        }
        if (errno != ERANGE) return errno;
    }
}

// Security labels and trusted attributes belong to the system: a user who may not set them
// gets the labels the system gives any new file, as any copy of the picture would.
bool SystemMayKeepItsOwn(std::string_view name, int error) {
    bool system = StartsWith(name, "security.") || StartsWith(name, "trusted.");
    return system && (error == EPERM || error == EACCES || error == ENOTSUP || error == EOPNOTSUPP);
}

}  // namespace

void Copy(int from, int to, const std::string& path, int number,
          const std::function<bool()>& refused) {
    const std::vector<char> names = Names(from, path, number);
    std::vector<char> value;
    for (std::size_t at = 0; at < names.size(); at += std::strlen(names.data() + at) + 1) {
        const char* name = names.data() + at;
        int error = Value(from, name, value);
        if (error == ENODATA) continue;
        if (error == 0) {
            if (refused && refused())
                error = EPERM;
            else if (::fsetxattr(to, name, value.data(), value.size(), 0) != 0)
                error = errno;
        }
        if (error == 0 || SystemMayKeepItsOwn(name, error)) continue;
        FileCause cause = StartsWith(name, "user.") ? FileCause::AttributesNotKept : FileCause::AclNotKept;
        throw FileError(FileOp::Attribute, path, cause,
                        std::string("cannot keep ") + name + ": " + std::strerror(error), number);
    }
}

}  // namespace velquist::ExtendedAttributes
