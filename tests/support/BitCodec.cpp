// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/BitCodec.h"

#include <cstdint>
#include <stdexcept>


namespace velquist {

namespace {

std::uint8_t& PixAt(FieldOperands& s) {
    if (s.BufIdx < 0 || s.BufIdx >= static_cast<int>(s.PixBuf.size()))
        throw std::out_of_range("codec index outside the pixel group");
    return s.PixBuf[static_cast<std::size_t>(s.BufIdx)];
}

std::uint8_t& MsgAt(FieldOperands& s, int index) {
    if (index < 0 || index >= static_cast<int>(s.MsgBuf.size()))
        throw std::out_of_range("codec index outside the message triple");
    return s.MsgBuf[static_cast<std::size_t>(index)];
}

// Sets `field` (a mask of adjacent bits) of `target` to `value` shifted into place when
// BitVal is a multiple of `unit` no larger than `unit * maxValue`; otherwise nothing.
void SetField(std::uint8_t& target, std::int16_t bitVal, int unit, int maxValue,
              std::uint8_t field, int shift) {
    if (bitVal < 0 || bitVal % unit != 0 || bitVal / unit > maxValue) return;
    std::uint8_t value = static_cast<std::uint8_t>((bitVal / unit) << shift);
    target = static_cast<std::uint8_t>((target & ~field) | value);
}

}  // namespace

void PutField1(FieldOperands& s) { SetField(PixAt(s), s.BitVal, 1, 3, 0x03, 0); }
void PutField2(FieldOperands& s) { SetField(PixAt(s), s.BitVal, 4, 1, 0x01, 0); }
void PutField3(FieldOperands& s) { SetField(PixAt(s), s.BitVal, 8, 7, 0x07, 0); }
void PutField4(FieldOperands& s) { SetField(PixAt(s), s.BitVal, 64, 3, 0x03, 0); }
void PutField5(FieldOperands& s) { SetField(PixAt(s), s.BitVal, 64, 1, 0x01, 0); }
void PutField6(FieldOperands& s) { SetField(PixAt(s), s.BitVal, 128, 1, 0x04, 2); }
void PutField7(FieldOperands& s) { SetField(PixAt(s), s.BitVal, 64, 3, 0x03, 0); }

void GetField1(FieldOperands& s) { SetField(MsgAt(s, s.BufIdx), s.BitVal, 1, 3, 0x03, 0); }
void GetField2(FieldOperands& s) { SetField(MsgAt(s, s.BufIdx), s.BitVal, 1, 1, 0x04, 2); }
void GetField3(FieldOperands& s) { SetField(MsgAt(s, s.BufIdx), s.BitVal, 1, 7, 0x38, 3); }
void GetField4(FieldOperands& s) { SetField(MsgAt(s, 0), s.BitVal, 1, 3, 0xC0, 6); }
void GetField5(FieldOperands& s) { SetField(MsgAt(s, 1), s.BitVal, 1, 1, 0x40, 6); }
void GetField6(FieldOperands& s) { SetField(MsgAt(s, 1), s.BitVal, 4, 1, 0x80, 7); }
void GetField7(FieldOperands& s) { SetField(MsgAt(s, 2), s.BitVal, 1, 3, 0xC0, 6); }

namespace {

struct EmbedRow {
    int messageByte;
    std::uint8_t mask;
    int groupByte;
    void (*routine)(FieldOperands&);
};

// The embedding map in the order the rows are applied.
constexpr EmbedRow kEmbedMap[] = {
    {0, 0x03, 0, PutField1}, {0, 0x04, 1, PutField2},  {0, 0x38, 2, PutField3},
    {1, 0x03, 3, PutField1}, {1, 0x04, 4, PutField2},  {1, 0x38, 5, PutField3},
    {2, 0x03, 6, PutField1}, {2, 0x04, 7, PutField2},  {2, 0x38, 8, PutField3},
    {0, 0xC0, 9, PutField4}, {1, 0x40, 10, PutField5}, {1, 0x80, 11, PutField6},
    {2, 0xC0, 11, PutField7},
};

struct ExtractRow {
    int groupByte;
    std::uint8_t mask;
    int bufIdx;  // -1 where the routine's target is fixed
    void (*routine)(FieldOperands&);
    int messageByte;
};

// The extraction map, message byte by message byte.
constexpr ExtractRow kExtractMap[] = {
    {0, 0x03, 0, GetField1, 0},  {1, 0x01, 0, GetField2, 0},   {2, 0x07, 0, GetField3, 0},
    {9, 0x03, -1, GetField4, 0}, {3, 0x03, 1, GetField1, 1},   {4, 0x01, 1, GetField2, 1},
    {5, 0x07, 1, GetField3, 1},  {10, 0x01, -1, GetField5, 1}, {11, 0x04, -1, GetField6, 1},
    {6, 0x03, 2, GetField1, 2},  {7, 0x01, 2, GetField2, 2},   {8, 0x07, 2, GetField3, 2},
    {11, 0x03, -1, GetField7, 2},
};

}  // namespace

void EmbedGroupByFields(FieldOperands& s, int count) {
    for (const EmbedRow& row : kEmbedMap) {
        if (row.messageByte >= count) continue;
        s.BitVal = static_cast<std::int16_t>(s.MsgBuf[row.messageByte] & row.mask);
        s.BufIdx = static_cast<std::int16_t>(row.groupByte);
        row.routine(s);
    }
}

void ExtractGroupByFields(FieldOperands& s, int count) {
    for (const ExtractRow& row : kExtractMap) {
        if (row.messageByte >= count) continue;
        if (row.bufIdx >= 0) s.BufIdx = static_cast<std::int16_t>(row.bufIdx);
        s.BitVal = static_cast<std::int16_t>(s.PixBuf[row.groupByte] & row.mask);
        row.routine(s);
    }
}

}  // namespace velquist
