// SPDX-License-Identifier: GPL-3.0-or-later
#include "ResultTable.h"

#include <algorithm>
#include <cstdio>

namespace velquist::detect {

namespace {

std::string Cell(const char* format, double value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string Padded(const std::string& text, std::size_t width) {
    return text.size() >= width ? text + " " : text + std::string(width - text.size(), ' ');
}

}  // namespace

ResultTable::ResultTable(std::ostream& out, std::vector<std::string> keys, std::vector<std::string> columns)
    : out_(out), keys_(std::move(keys)), columns_(std::move(columns)) {}

std::size_t ResultTable::keyWidth(std::size_t k) const { return k == 0 ? 14 : std::max<std::size_t>(keys_[k].size() + 2, 9); }

void ResultTable::printHeader() const {
    std::string line;
    for (std::size_t k = 0; k < keys_.size(); ++k) line += Padded(keys_[k], keyWidth(k));
    for (const std::string& c : columns_) line += Padded(c, 9);
    out_ << line << Padded("changed", 9) << "seconds\n" << std::flush;
}

void ResultTable::printRow(const std::vector<std::string>& keys, const std::vector<double>& aucs, double changed,
                           double seconds) const {
    std::string line;
    for (std::size_t k = 0; k < keys.size(); ++k) line += Padded(keys[k], keyWidth(k));
    for (double auc : aucs) line += Padded(Cell("%.3f", auc), 9);
    out_ << line << Padded(Cell("%.4f", changed), 9) << Cell("%.0f", seconds) << "\n" << std::flush;
}

void ResultTable::printUnavailable(const std::string& embedder, const std::string& reason) const {
    out_ << Padded(embedder, keyWidth(0)) << "not available: " << reason << "\n" << std::flush;
}

}  // namespace velquist::detect
