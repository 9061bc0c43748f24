// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace velquist {

// The kinds of picture file a carrier can be, told by the file's first bytes. The engine has
// one class for each (CarrierPicture); an outcome about a picture names its kind, and each
// front end words it.
enum class PictureKind { Bmp, Png };

}  // namespace velquist
