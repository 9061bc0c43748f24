// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

namespace velquist {

// The operands of the field routines: the group, the message triple, the masked field value
// and the target index, as the routines have always shared them.
struct FieldOperands {
    std::array<std::uint8_t, 12> PixBuf{};
    std::array<std::uint8_t, 3> MsgBuf{};
    std::int16_t BitVal = 0;
    std::int16_t BufIdx = 0;
};

// The readable definition of the codec that the fast codec (GroupCodec) is tested against;
// neither program links it. The field routines, one per row kind of the embedding and
// extraction maps: each reads the operands BitVal and BufIdx; a BitVal
// outside the routine's list changes nothing. A BufIdx outside PixBuf (writers) or MsgBuf
// (readers) throws std::out_of_range and touches nothing.
void PutField1(FieldOperands& s);  // BitVal 0..3 -> PixBuf[BufIdx] bits 0-1
void PutField2(FieldOperands& s);  // BitVal 0, 4 -> PixBuf[BufIdx] bit 0
void PutField3(FieldOperands& s);  // BitVal 0, 8, ..., 56 -> PixBuf[BufIdx] bits 0-2
void PutField4(FieldOperands& s);  // BitVal 0, 64, 128, 192 -> PixBuf[BufIdx] bits 0-1
void PutField5(FieldOperands& s);  // BitVal 0, 64 -> PixBuf[BufIdx] bit 0
void PutField6(FieldOperands& s);  // BitVal 0, 128 -> PixBuf[BufIdx] bit 2
void PutField7(FieldOperands& s);  // BitVal 0, 64, 128, 192 -> PixBuf[BufIdx] bits 0-1

void GetField1(FieldOperands& s);  // BitVal 0..3 -> MsgBuf[BufIdx] bits 0-1
void GetField2(FieldOperands& s);  // BitVal 0, 1 -> MsgBuf[BufIdx] bit 2
void GetField3(FieldOperands& s);  // BitVal 0..7 -> MsgBuf[BufIdx] bits 3-5
void GetField4(FieldOperands& s);  // BitVal 0..3 -> MsgBuf[0] bits 6-7
void GetField5(FieldOperands& s);  // BitVal 0, 1 -> MsgBuf[1] bit 6
void GetField6(FieldOperands& s);  // BitVal 0, 4 -> MsgBuf[1] bit 7
void GetField7(FieldOperands& s);  // BitVal 0..3 -> MsgBuf[2] bits 6-7

// The maps applied row by row through the routines above, on PixBuf and MsgBuf. `count` is
// the number of message bytes in the group: 3 for a whole group, 1 or 2 for the last one.
void EmbedGroupByFields(FieldOperands& s, int count);
void ExtractGroupByFields(FieldOperands& s, int count);

}  // namespace velquist
