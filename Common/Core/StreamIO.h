// Little-endian value reads and writes on byte streams. Every read raises
// EReadError on a short read, every write EWriteError on a short write.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "Core/Stream.h"

namespace mc {

uint8_t ReadByte(TStream& s);
uint16_t ReadWord(TStream& s);
int32_t ReadInteger(TStream& s);
uint32_t ReadCardinal(TStream& s);  // the same four bytes, unsigned
float ReadSingle(TStream& s);
uint32_t ReadInteger24(TStream& s);
void ReadBuffer(TStream& s, void* buffer, size_t count);
std::string ReadZString(TStream& s);
std::string ReadFixedString(TStream& s, size_t width);
inline std::string ReadString32(TStream& s) { return ReadFixedString(s, 32); }
inline std::string ReadString64(TStream& s) { return ReadFixedString(s, 64); }

void WriteByte(TStream& s, uint8_t value);
void WriteWord(TStream& s, uint16_t value);
void WriteInteger(TStream& s, int32_t value);
void WriteCardinal(TStream& s, uint32_t value);
void WriteSingle(TStream& s, float value);
void WriteBuffer(TStream& s, const void* buffer, size_t count);
void WriteZString(TStream& s, std::string_view text);
void WriteFixedString(TStream& s, std::string_view text, size_t width);
inline void WriteString32(TStream& s, std::string_view text) { WriteFixedString(s, text, 32); }
inline void WriteString64(TStream& s, std::string_view text) { WriteFixedString(s, text, 64); }
void WriteText(TStream& s, std::string_view text);
void WriteTextLine(TStream& s, std::string_view text);
void WriteNewLine(TStream& s);

// Skips count bytes; raises EReadError when they are not there.
void SkipBytes(TStream& s, uint64_t count);

// Raises EReadError unless at least count bytes remain: used to refuse
// counts read from a file before anything is allocated for them.
void RequireRemaining(const TStream& s, uint64_t count);

}  // namespace mc
