// A kept frame as the viewers take it: PNG (8 or 16 bits, lossless), JPEG (8 bits, 16-bit
// pixels scaled down), and the 8-bit picture both the JPEG and the page's display start from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "frame_source.h"

namespace orvanta_tool::view {

// Whether the frame's pixels are whole bytes that a picture can show (8 or 16 bits per pixel).
bool encodable(const Frame& frame);
// Why not, for the answer to the viewer.
std::string notEncodableReason(const Frame& frame);

// One byte per pixel, line after line: 8-bit pixels as they are, 16-bit ones (little-endian in
// the buffer) by their high byte.
void displayPixels(const Frame& frame, std::vector<uint8_t>& out);

std::string encodePng(const Frame& frame);
std::string encodeJpeg(const Frame& frame, int quality);

}  // namespace orvanta_tool::view
