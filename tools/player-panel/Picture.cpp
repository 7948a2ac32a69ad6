#include "Picture.h"

#include "Console.h"

#include <wincodec.h>

namespace player_panel {
namespace {

// A COM interface pointer released when it goes.
template <typename T>
class Com {
public:
    Com() = default;
    ~Com() {
        if (pointer_ != nullptr)
            pointer_->Release();
    }
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    T* operator->() const { return pointer_; }
    T* get() const { return pointer_; }
    T** put() { return &pointer_; }

private:
    T* pointer_ = nullptr;
};

// COM for the length of a scope, on this thread.
class ComScope {
public:
    ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(result_))
            CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT result_;
};

std::wstring failed(const wchar_t* step, HRESULT result) {
    return std::wstring(step) + L": " + tools::systemMessage(static_cast<DWORD>(result));
}

struct Format {
    const wchar_t* extension;
    const GUID* container;
    const wchar_t* name;
};
constexpr Format kFormats[] = {
    {L".png", &GUID_ContainerFormatPng, L"PNG"},   {L".bmp", &GUID_ContainerFormatBmp, L"BMP"},
    {L".jpg", &GUID_ContainerFormatJpeg, L"JPEG"}, {L".jpeg", &GUID_ContainerFormatJpeg, L"JPEG"},
    {L".tif", &GUID_ContainerFormatTiff, L"TIFF"}, {L".tiff", &GUID_ContainerFormatTiff, L"TIFF"},
};

const Format* formatOf(const std::wstring& path) {
    const std::size_t dot = path.find_last_of(L'.');
    if (dot == std::wstring::npos || path.find_first_of(L"\\/", dot) != std::wstring::npos)
        return nullptr;
    for (const Format& format : kFormats)
        if (lstrcmpiW(path.c_str() + dot, format.extension) == 0)
            return &format;
    return nullptr;
}

} // namespace

bool pictureFormatKnown(const std::wstring& path) {
    return formatOf(path) != nullptr;
}

bool savePicture(HWND window, int width, int height, const std::wstring& path, std::wstring& error) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    const HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dc == nullptr || bitmap == nullptr) {
        error = L"cannot make a bitmap of " + std::to_wstring(width) + L" x " + std::to_wstring(height);
        if (dc != nullptr)
            DeleteDC(dc);
        return false;
    }
    const HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    GdiFlush();
    Picture picture;
    picture.width = static_cast<UINT>(width);
    picture.height = static_cast<UINT>(height);
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    picture.pixels.assign(pixels, pixels + static_cast<std::size_t>(width) * height);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return writePicture(picture, path, error);
}

bool savePicture(HWND, const RECT& area, const std::wstring& path, std::wstring& error) {
    Picture picture;
    picture.width = static_cast<UINT>(area.right - area.left);
    picture.height = static_cast<UINT>(area.bottom - area.top);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = area.right - area.left;
    info.bmiHeader.biHeight = -(area.bottom - area.top); // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr) {
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
        error = L"cannot make a bitmap of the screen";
        return false;
    }
    const HGDIOBJ old = SelectObject(dc, bitmap);
    BitBlt(dc, 0, 0, area.right - area.left, area.bottom - area.top, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    picture.pixels.assign(pixels, pixels + static_cast<std::size_t>(picture.width) * picture.height);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return writePicture(picture, path, error);
}

bool writePicture(const Picture& picture, const std::wstring& path, std::wstring& error) {
    // GDI leaves the alpha bytes at 0; the picture is opaque.
    std::vector<std::uint32_t> pixels = picture.pixels;
    for (std::uint32_t& pixel : pixels)
        pixel |= 0xFF000000u;
    const UINT width = picture.width, height = picture.height;
    const Format* format = formatOf(path);
    if (format == nullptr) {
        error = path + L": not a .png, .bmp, .jpg or .tif file";
        return false;
    }
    const ComScope com;
    Com<IWICImagingFactory> factory;
    Com<IWICBitmap> bitmap;
    Com<IWICStream> stream;
    Com<IWICBitmapEncoder> encoder;
    Com<IWICBitmapFrameEncode> frame;
    HRESULT result = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IWICImagingFactory, reinterpret_cast<void**>(factory.put()));
    if (FAILED(result))
        error = failed(L"no WIC imaging factory", result);
    else if (FAILED(result = factory->CreateBitmapFromMemory(
                        width, height, GUID_WICPixelFormat32bppBGRA, width * 4, width * 4 * height,
                        reinterpret_cast<BYTE*>(pixels.data()), bitmap.put())))
        error = failed(L"cannot hold the picture", result);
    else if (FAILED(result = factory->CreateStream(stream.put())) ||
             FAILED(result = stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)))
        error = failed((L"cannot write " + path).c_str(), result);
    // WriteSource converts the pixels to what the format takes (JPEG has no alpha).
    else if (FAILED(result = factory->CreateEncoder(*format->container, nullptr, encoder.put())) ||
             FAILED(result = encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) ||
             FAILED(result = encoder->CreateNewFrame(frame.put(), nullptr)) ||
             FAILED(result = frame->Initialize(nullptr)) || FAILED(result = frame->SetSize(width, height)) ||
             FAILED(result = frame->WriteSource(bitmap.get(), nullptr)) || FAILED(result = frame->Commit()) ||
             FAILED(result = encoder->Commit()))
        error = failed((L"cannot encode the " + std::wstring(format->name)).c_str(), result);
    return error.empty();
}

Picture loadPicture(const std::wstring& path) {
    Picture picture;
    const ComScope com;
    Com<IWICImagingFactory> factory;
    Com<IWICBitmapDecoder> decoder;
    Com<IWICBitmapFrameDecode> frame;
    Com<IWICFormatConverter> converter;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, reinterpret_cast<void**>(factory.put()))) ||
        FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                  WICDecodeMetadataCacheOnDemand, decoder.put())) ||
        FAILED(decoder->GetFrame(0, frame.put())) ||
        FAILED(factory->CreateFormatConverter(converter.put())) ||
        FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone,
                                     nullptr, 0, WICBitmapPaletteTypeCustom)))
        return picture;
    UINT width = 0, height = 0;
    converter->GetSize(&width, &height);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    if (FAILED(converter->CopyPixels(nullptr, width * 4, width * 4 * height,
                                     reinterpret_cast<BYTE*>(pixels.data()))))
        return picture;
    picture.width = width;
    picture.height = height;
    picture.pixels = std::move(pixels);
    return picture;
}

} // namespace player_panel
