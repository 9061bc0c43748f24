// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace velquist {

struct JobState;

// The readable definition of the codec that the fast codec (GroupCodec) is tested against;
// neither program links it. The field routines, one per row kind of the embedding and
// extraction maps: each reads the operands BitVal and BufIdx of the job state; a BitVal
// outside the routine's list changes nothing. A BufIdx outside PixBuf (writers) or MsgBuf
// (readers) throws std::out_of_range and touches nothing.
void PutField1(JobState& s);  // BitVal 0..3 -> PixBuf[BufIdx] bits 0-1
void PutField2(JobState& s);  // BitVal 0, 4 -> PixBuf[BufIdx] bit 0
void PutField3(JobState& s);  // BitVal 0, 8, ..., 56 -> PixBuf[BufIdx] bits 0-2
void PutField4(JobState& s);  // BitVal 0, 64, 128, 192 -> PixBuf[BufIdx] bits 0-1
void PutField5(JobState& s);  // BitVal 0, 64 -> PixBuf[BufIdx] bit 0
void PutField6(JobState& s);  // BitVal 0, 128 -> PixBuf[BufIdx] bit 2
void PutField7(JobState& s);  // BitVal 0, 64, 128, 192 -> PixBuf[BufIdx] bits 0-1

void GetField1(JobState& s);  // BitVal 0..3 -> MsgBuf[BufIdx] bits 0-1
void GetField2(JobState& s);  // BitVal 0, 1 -> MsgBuf[BufIdx] bit 2
void GetField3(JobState& s);  // BitVal 0..7 -> MsgBuf[BufIdx] bits 3-5
void GetField4(JobState& s);  // BitVal 0..3 -> MsgBuf[0] bits 6-7
void GetField5(JobState& s);  // BitVal 0, 1 -> MsgBuf[1] bit 6
void GetField6(JobState& s);  // BitVal 0, 4 -> MsgBuf[1] bit 7
void GetField7(JobState& s);  // BitVal 0..3 -> MsgBuf[2] bits 6-7

// The maps applied row by row through the routines above, on PixBuf and MsgBuf. `count` is
// the number of message bytes in the group: 3 for a whole group, 1 or 2 for the last one.
void EmbedGroupByFields(JobState& s, int count);
void ExtractGroupByFields(JobState& s, int count);

}  // namespace velquist
