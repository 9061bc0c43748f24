// SPDX-License-Identifier: GPL-3.0-or-later
#include "ResultTable.h"

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

ResultTable::ResultTable(std::ostream& out, std::vector<std::string> columns)
    : out_(out), columns_(std::move(columns)) {}

void ResultTable::printHeader() const {
    std::string line = Padded("embedder", 12) + Padded("bits/sample", 13);
    for (const std::string& c : columns_) line += Padded(c, 9);
    out_ << line << "seconds\n" << std::flush;
}

void ResultTable::printRow(const std::string& embedder, double rate, const std::vector<double>& aucs,
                           double seconds) const {
    std::string line = Padded(embedder, 12) + Padded(Cell("%g", rate), 13);
    for (double auc : aucs) line += Padded(Cell("%.3f", auc), 9);
    out_ << line << Cell("%.0f", seconds) << "\n" << std::flush;
}

void ResultTable::printUnavailable(const std::string& embedder, const std::string& reason) const {
    out_ << Padded(embedder, 12) << "not available: " << reason << "\n" << std::flush;
}

}  // namespace velquist::detect
