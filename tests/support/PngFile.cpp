#include "support/PngFile.h"

#include <stdexcept>
#include <zlib.h>

namespace {

void appendBigEndian(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<char>((value >> shift) & 0xFFu));
    }
}

void appendChunk(std::string& out, const char* type, const std::string& data) {
    appendBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::string body = std::string(type, 4) + data;
    out += body;
    const auto* bytes = reinterpret_cast<const Bytef*>(body.data());
    appendBigEndian(out,
                    static_cast<std::uint32_t>(crc32(0L, bytes, static_cast<uInt>(body.size()))));
}

int channels(PngColour colour) {
    switch (colour) {
    case PngColour::Grey:
    case PngColour::Palette:
        return 1;
    case PngColour::GreyAlpha:
        return 2;
    case PngColour::Rgb:
        return 3;
    case PngColour::Rgba:
        return 4;
    }
    return 0;
}

} // namespace

std::string encodePng(int width, int height, PngColour colour, int bitDepth,
                      const std::vector<std::uint8_t>& samples,
                      const std::vector<std::uint8_t>& palette) {
    const size_t rowBytes = static_cast<size_t>(width) * channels(colour) * (bitDepth / 8);
    if (samples.size() != rowBytes * height) {
        throw std::invalid_argument("sample count does not match the image size");
    }
    // Filter type 0 (none) in front of every row.
    std::string raw;
    raw.reserve((rowBytes + 1) * height);
    for (int y = 0; y < height; ++y) {
        raw.push_back('\0');
        raw.append(reinterpret_cast<const char*>(samples.data()) + y * rowBytes, rowBytes);
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(packedSize, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
                  reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()),
                  Z_BEST_SPEED) != Z_OK) {
        throw std::runtime_error("zlib could not compress the image");
    }
    packed.resize(packedSize);

    std::string header;
    appendBigEndian(header, static_cast<std::uint32_t>(width));
    appendBigEndian(header, static_cast<std::uint32_t>(height));
    header.push_back(static_cast<char>(bitDepth));
    header.push_back(static_cast<char>(colour));
    header.append(3, '\0'); // deflate, adaptive filtering, no interlace

    std::string png("\x89PNG\r\n\x1a\n", 8);
    appendChunk(png, "IHDR", header);
    if (colour == PngColour::Palette) {
        appendChunk(png, "PLTE", std::string(palette.begin(), palette.end()));
    }
    appendChunk(png, "IDAT", packed);
    appendChunk(png, "IEND", "");
    return png;
}

std::string solidPng(int width, int height, PngColour colour, int bitDepth, PngRgba fill) {
    std::vector<std::uint8_t> pixel;
    switch (colour) {
    case PngColour::Grey:
        pixel = {fill.r};
        break;
    case PngColour::GreyAlpha:
        pixel = {fill.r, fill.a};
        break;
    case PngColour::Rgb:
        pixel = {fill.r, fill.g, fill.b};
        break;
    case PngColour::Rgba:
        pixel = {fill.r, fill.g, fill.b, fill.a};
        break;
    case PngColour::Palette:
        pixel = {0};
        break;
    }
    std::vector<std::uint8_t> sample;
    for (std::uint8_t value : pixel) {
        // A 16-bit sample v * 257 reads back as v when cut to 8 bits.
        sample.push_back(value);
        if (bitDepth == 16) {
            sample.push_back(value);
        }
    }
    std::vector<std::uint8_t> samples;
    samples.reserve(sample.size() * width * height);
    for (long i = 0; i < static_cast<long>(width) * height; ++i) {
        samples.insert(samples.end(), sample.begin(), sample.end());
    }
    return encodePng(width, height, colour, bitDepth, samples, {fill.r, fill.g, fill.b});
}
