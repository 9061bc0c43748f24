// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

#include "engine/CarrierPicture.h"

namespace velquist {

class FileService;

// The picture open as `number`, whose name is `path`, as the class of its kind, told by its
// first bytes; what starts as no other kind is judged as a BMP. Throws FileError only when the
// file itself cannot be read.
std::unique_ptr<CarrierPicture> ReadCarrierPicture(FileService& files, int number,
                                                   const std::string& path);

}  // namespace velquist
