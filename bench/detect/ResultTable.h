// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace velquist::detect {

// The AUC table, printed a row at a time as each row is measured: the columns that name a row
// (embedder, payload, ...), one AUC per detector, the share of samples the carriers changed and
// the row's seconds.
class ResultTable {
public:
    ResultTable(std::ostream& out, std::vector<std::string> keys, std::vector<std::string> columns);
    void printHeader() const;
    void printRow(const std::vector<std::string>& keys, const std::vector<double>& aucs, double changed,
                  double seconds) const;
    void printUnavailable(const std::string& embedder, const std::string& reason) const;

private:
    std::size_t keyWidth(std::size_t k) const;

    std::ostream& out_;
    std::vector<std::string> keys_;
    std::vector<std::string> columns_;
};

}  // namespace velquist::detect
