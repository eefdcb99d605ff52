// The one pixel layout shared by the component layer and the skin engine:
// 24-bit (blue, green, red) or 32-bit (blue, green, red, unused) pixels in
// rows padded to 4 bytes. `TPixels` is a view: the window-free painting
// routines work on it, a `TPixelBitmap` owns such pixels in plain memory
// (window-free code and its tests), and the component layer's bitmap hands
// out a view of its DIB section, so nothing is copied between the two on a
// paint. This header stands below both and includes nothing of the program.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace pixels {

struct TPixels {
    uint8_t* Row0 = nullptr;  // first byte of row 0
    ptrdiff_t Step = 0;       // bytes from one row to the next; negative for bottom-up DIBs
    int Width = 0;
    int Height = 0;
    int BytesPerPixel = 3;  // 3 or 4

    bool Empty() const { return Row0 == nullptr || Width <= 0 || Height <= 0; }
    uint8_t* ScanLine(int y) const { return Row0 + static_cast<ptrdiff_t>(y) * Step; }
    uint8_t* At(int x, int y) const { return ScanLine(y) + static_cast<ptrdiff_t>(x) * BytesPerPixel; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < Width && y < Height; }
};

// Bytes in one row of a DIB of that width: rows are padded to 4 bytes.
constexpr ptrdiff_t DibRowBytes(int width, int bytesPerPixel) {
    return ((static_cast<ptrdiff_t>(width) * bytesPerPixel + 3) / 4) * 4;
}

// Pixels in memory, top-down, laid out exactly like a DIB section.
class TPixelBitmap {
public:
    TPixelBitmap() = default;
    TPixelBitmap(int width, int height, int bytesPerPixel = 3) { SetSize(width, height, bytesPerPixel); }
    // Copies own their pixels; a moved-from bitmap is left empty.
    TPixelBitmap(const TPixelBitmap& other) : data_(other.data_), view_(other.view_) { Rebind(); }
    TPixelBitmap(TPixelBitmap&& other) noexcept : data_(std::move(other.data_)), view_(other.view_) {
        Rebind();
        other.Reset();
    }
    TPixelBitmap& operator=(const TPixelBitmap& other) {
        if (this != &other) {
            data_ = other.data_;
            view_ = other.view_;
            Rebind();
        }
        return *this;
    }
    TPixelBitmap& operator=(TPixelBitmap&& other) noexcept {
        if (this != &other) {
            data_ = std::move(other.data_);
            view_ = other.view_;
            Rebind();
            other.Reset();
        }
        return *this;
    }

    // Zero-filled (black) pixels of the new size; a size of 0 leaves it empty.
    void SetSize(int width, int height, int bytesPerPixel = 3) {
        if (width < 0) width = 0;
        if (height < 0) height = 0;
        view_.BytesPerPixel = bytesPerPixel == 4 ? 4 : 3;
        view_.Step = DibRowBytes(width, view_.BytesPerPixel);
        data_.assign(static_cast<size_t>(view_.Step) * static_cast<size_t>(height), 0);
        view_.Width = width;
        view_.Height = height;
        view_.Row0 = data_.empty() ? nullptr : data_.data();
    }

    const TPixels& Pixels() const { return view_; }
    int Width() const { return view_.Width; }
    int Height() const { return view_.Height; }

private:
    void Rebind() { view_.Row0 = data_.empty() ? nullptr : data_.data(); }
    void Reset() {
        data_.clear();
        view_ = TPixels{};
    }

    std::vector<uint8_t> data_;
    TPixels view_;
};

}  // namespace pixels
