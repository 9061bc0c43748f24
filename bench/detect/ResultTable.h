// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace velquist::detect {

// The AUC table, printed a row at a time as each row is measured.
class ResultTable {
public:
    ResultTable(std::ostream& out, std::vector<std::string> columns);
    void printHeader() const;
    void printRow(const std::string& embedder, double rate, const std::vector<double>& aucs, double seconds) const;
    void printUnavailable(const std::string& embedder, const std::string& reason) const;

private:
    std::ostream& out_;
    std::vector<std::string> columns_;
};

}  // namespace velquist::detect
