#include "common/studio_picture_codec.h"

// The one file that includes the picture library; it is built as the module the programs load
// when they first need it (see studio_picture_codec.h).
#include <OpenImageIO/filesystem.h>
#include <OpenImageIO/imageio.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <mutex>

namespace quenda {
namespace {

namespace oiio = OIIO;

// What the library may decode for one picture: the most our own checks let through (16
// float channels of kStudioPictureMaxPixels), so for the sizes we refuse our message is said.
constexpr int kLibraryImageSizeMB = 16384;
constexpr int kLibraryChannelLimit = 16;
// Floats in hand while converting one band of rows.
constexpr std::size_t kBandSamples = std::size_t(1) << 22;

void SetLibraryLimits() {
  static std::once_flag once;
  std::call_once(once, [] {
    oiio::attribute("limits:imagesize_MB", kLibraryImageSizeMB);
    oiio::attribute("limits:channels", kLibraryChannelLimit);
    // Frames are already made side by side (--jobs); the library adds no threads of its own.
    oiio::attribute("threads", 1);
    oiio::attribute("exr_threads", 1);
    // A file its extension's reader refuses is refused: trying every other reader the library
    // has would hand the bytes to decoders the suite never meant to run, each holding memory.
    oiio::attribute("try_all_readers", 0);
  });
}

std::string Lowered(std::string text) {
  for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

Error Refused(const std::string& reason) {
  return Error{reason};
}

// The library's reason, first line only; a silent failure still says something.
std::string LibraryReason(std::string text) {
  if (const std::size_t end = text.find('\n'); end != std::string::npos) text.resize(end);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
  return text.empty() ? "the file is damaged or is not a picture" : text;
}

double DpiOf(const oiio::ImageSpec& layout) {
  const double x = layout.get_float_attribute("XResolution", 0.0f);
  if (!(x > 0)) return 0;
  const std::string unit = Lowered(layout.get_string_attribute("ResolutionUnit"));
  if (unit == "in" || unit == "inch") return x;
  if (unit == "cm") return x * 2.54;
  return 0;  // "none": an aspect ratio, not a resolution
}

uint8_t ToByte(float value) {
  if (!(value > 0.0f)) return 0;  // NaN too
  if (value >= 1.0f) return 255;
  return uint8_t(value * 255.0f + 0.5f);
}

// Which of the file's channels hold what.
struct ChannelPlan {
  int colour[3] = {0, 0, 0};  // R, G, B (all 0 for grey)
  int alpha = -1;
  bool grey = false;
  int read = 1;  // channels read, from 0
  bool premultiplied = false;
  bool linear = false;
  int outChannels() const { return alpha >= 0 ? 4 : grey ? 1 : 3; }
};

ChannelPlan PlanChannels(const oiio::ImageSpec& layout, const std::string& formatName) {
  ChannelPlan plan;
  plan.alpha = layout.alpha_channel;
  if (plan.alpha < 0 && (layout.nchannels == 2 || layout.nchannels == 4))
    plan.alpha = layout.nchannels - 1;
  if (plan.alpha >= layout.nchannels) plan.alpha = -1;
  const int colourChannels = layout.nchannels - (plan.alpha >= 0 ? 1 : 0);
  plan.grey = colourChannels < 3;
  if (!plan.grey) {
    int next = 0;
    for (int& channel : plan.colour) {
      if (next == plan.alpha) ++next;
      channel = next++;
    }
  } else {
    plan.colour[0] = plan.colour[1] = plan.colour[2] = plan.alpha == 0 ? 1 : 0;
  }
  plan.read = std::max({plan.colour[0], plan.colour[1], plan.colour[2], plan.alpha}) + 1;
  plan.premultiplied =
      plan.alpha >= 0 && layout.get_int_attribute("oiio:UnassociatedAlpha", 0) == 0;
  plan.linear = formatName == "openexr" ||
                Lowered(layout.get_string_attribute("oiio:ColorSpace")) == "linear";
  return plan;
}

// One row of floats (plan.read per pixel, left to right) into 8-bit B, G, R, (A) or grey.
void ConvertRow(const float* in, int width, const ChannelPlan& plan, uint8_t* out) {
  const int outChannels = plan.outChannels();
  for (int x = 0; x < width; ++x, in += plan.read, out += outChannels) {
    float alpha = plan.alpha >= 0 ? in[plan.alpha] : 1.0f;
    if (!(alpha > 0.0f)) alpha = 0.0f;
    alpha = std::min(alpha, 1.0f);
    float rgb[3];
    for (int c = 0; c < 3; ++c) {
      float value = in[plan.colour[c]];
      if (!(value > 0.0f)) value = 0.0f;
      if (plan.premultiplied && alpha > 0.0f) value /= alpha;
      value = std::min(value, 1.0f);
      rgb[c] = plan.linear ? SrgbFromLinear(value) : value;
    }
    if (outChannels == 1) {
      out[0] = ToByte(rgb[0]);
      continue;
    }
    out[0] = ToByte(rgb[2]);
    out[1] = ToByte(rgb[1]);
    out[2] = ToByte(rgb[0]);
    if (outChannels == 4) out[3] = ToByte(alpha);
  }
}

Result<StudioPicture> ReadOpened(oiio::ImageInput& input) {
  const oiio::ImageSpec& layout = input.spec();
  if (layout.deep) return Refused("it holds deep data, not a flat picture");
  if (layout.width < 1 || layout.height < 1 || layout.nchannels < 1)
    return Refused("its header gives no pixels");
  if (layout.depth > 1) return Refused("it holds a volume, not a flat picture");
  if (layout.width > kStudioPictureMaxSide || layout.height > kStudioPictureMaxSide ||
      (long long)layout.width * layout.height > kStudioPictureMaxPixels)
    return Refused("its header gives " + std::to_string(layout.width) + " x " +
                   std::to_string(layout.height) + " pixels, more than can be read (" +
                   std::to_string(kStudioPictureMaxSide) + " a side, " +
                   std::to_string(kStudioPictureMaxPixels) + " in all)");
  const ChannelPlan plan = PlanChannels(layout, input.format_name());
  const int width = layout.width, height = layout.height;
  const std::size_t rowSamples = std::size_t(width) * std::size_t(plan.read);
  int band = int(std::max<std::size_t>(1, kBandSamples / rowSamples));
  if (layout.tile_width > 0) band = std::max(1, band / layout.tile_height) * layout.tile_height;
  band = std::min(band, height);

  StudioPicture picture;
  picture.dpi = DpiOf(layout);
  picture.formatName = input.format_name();
  picture.pixels = Raster(width, height, plan.outChannels());
  std::vector<float> samples(rowSamples * std::size_t(band));
  for (int top = 0; top < height; top += band) {
    const int rows = std::min(band, height - top);
    const int y0 = layout.y + top;
    const bool read =
        layout.tile_width > 0
            ? input.read_tiles(0, 0, layout.x, layout.x + width, y0, y0 + rows, layout.z,
                               layout.z + 1, 0, plan.read, oiio::TypeDesc::FLOAT, samples.data())
            : input.read_scanlines(0, 0, y0, y0 + rows, layout.z, 0, plan.read,
                                   oiio::TypeDesc::FLOAT, samples.data());
    if (!read) return Refused(LibraryReason(input.geterror()));
    for (int r = 0; r < rows; ++r)
      ConvertRow(samples.data() + std::size_t(r) * rowSamples, width, plan,
                 picture.pixels.Row(height - 1 - (top + r)));
  }
  return picture;
}

std::string_view LibraryFormatName(PictureFormat format) {
  switch (format) {
    case PictureFormat::Tiff:
      return "tiff";
    case PictureFormat::Exr:
      return "openexr";
    default:
      return "png";
  }
}

// The reader the extension names, and no other, over `proxy`: the library's own open would
// try every format on a failure, by the file's name, and lose the reason.
Result<std::unique_ptr<oiio::ImageInput>> OpenInput(const std::string& path,
                                                    std::string_view reader,
                                                    oiio::Filesystem::IOProxy& proxy) {
  SetLibraryLimits();
  oiio::ImageSpec config;
  // Alpha as the file stores it: the library would otherwise premultiply PNG's.
  config.attribute("oiio:UnassociatedAlpha", 1);
  // Created by the format's name, so no other reader is looked for.
  std::unique_ptr<oiio::ImageInput> input =
      oiio::ImageInput::create(std::string(reader), false, &config, &proxy);
  if (!input || input->format_name() != reader) return Refused(LibraryReason(oiio::geterror()));
  input->set_ioproxy(&proxy);
  oiio::ImageSpec opened;
  if (!input->open(path, opened, config)) {
    std::string reason = input->geterror();
    if (reason.empty()) reason = oiio::geterror();
    return Refused(LibraryReason(reason));
  }
  return input;
}

Result<StudioPicture> Decode(std::span<const uint8_t> bytes, const std::string& path,
                             std::string_view reader) {
  oiio::Filesystem::IOMemReader memory(oiio::cspan<unsigned char>(bytes.data(), bytes.size()));
  auto input = OpenInput(path, reader, memory);
  if (!input) return Error{input.message()};
  Result<StudioPicture> picture = ReadOpened(**input);
  (*input)->close();
  return picture;
}

Result<StudioPictureHeader> ReadHeader(const std::string& path, std::string_view reader) {
  oiio::Filesystem::IOFile file(path, oiio::Filesystem::IOProxy::Read);
  auto input = OpenInput(path, reader, file);
  if (!input) return Error{input.message()};
  const oiio::ImageSpec& layout = (*input)->spec();
  StudioPictureHeader header{layout.width, layout.height, DpiOf(layout)};
  (*input)->close();
  return header;
}

Result<std::vector<uint8_t>> Encode(ConstRasterView picture, const StudioWriteOptions& options) {
  SetLibraryLimits();
  const bool exr = options.format == PictureFormat::Exr;
  const bool wide = !exr && options.depth == kFrameDepth16;
  const int channels = picture.channels;
  const int width = picture.width, height = picture.height;
  if ((channels != 1 && channels != 3 && channels != 4) || width < 1 || height < 1 ||
      options.format == PictureFormat::Targa)
    return Error{"a picture of this shape cannot be written as " +
                 std::string(PictureFormatName(options.format))};
  oiio::ImageSpec layout(width, height, channels,
                         exr    ? oiio::TypeDesc::HALF
                         : wide ? oiio::TypeDesc::UINT16
                                : oiio::TypeDesc::UINT8);
  if (channels == 4) {
    layout.alpha_channel = 3;
    if (!exr) layout.attribute("oiio:UnassociatedAlpha", 1);
  }
  if (options.dpi > 0) {
    layout.attribute("XResolution", float(options.dpi));
    layout.attribute("YResolution", float(options.dpi));
    layout.attribute("ResolutionUnit", "in");
  }
  if (options.format == PictureFormat::Tiff || exr) layout.attribute("compression", "zip");
  // The TIFF and EXR writers stamp the time unless told one, and split runs must give the same
  // bytes; an empty one is left out.
  if (options.format == PictureFormat::Tiff || exr) layout.attribute("DateTime", "");
  if (exr && channels == 4 && options.alpha == FrameAlpha::ComposerMatte)
    layout.attribute("quenda:alpha", "composer matte");

  // Top row first, R, G, B (A), in the file's own sample type.
  const std::size_t samples = std::size_t(width) * std::size_t(height) * std::size_t(channels);
  std::vector<uint8_t> bytes8;
  std::vector<uint16_t> bytes16;
  std::vector<float> floats;
  std::array<float, 256> linear{};
  for (int v = 0; v < 256; ++v) linear[std::size_t(v)] = LinearFromSrgb(float(v) / 255.0f);
  if (exr)
    floats.resize(samples);
  else if (wide)
    bytes16.resize(samples);
  else
    bytes8.resize(samples);
  std::size_t at = 0;
  for (int row = height - 1; row >= 0; --row) {
    const uint8_t* p = picture.Row(row);
    for (int x = 0; x < width; ++x, p += channels) {
      uint8_t rgba[4] = {p[0], p[0], p[0], 255};
      if (channels >= 3) rgba[0] = p[2], rgba[1] = p[1], rgba[2] = p[0];
      if (channels == 4) rgba[3] = p[3];
      for (int c = 0; c < channels; ++c, ++at) {
        const uint8_t value = channels == 1 ? p[0] : rgba[c];
        if (exr) {
          const bool isAlpha = c == 3;
          float f = isAlpha ? float(value) / 255.0f : linear[value];
          if (!isAlpha && channels == 4 && options.alpha == FrameAlpha::Coverage)
            f *= float(rgba[3]) / 255.0f;
          floats[at] = f;
        } else if (wide) {
          bytes16[at] = uint16_t(value * 257);
        } else {
          bytes8[at] = value;
        }
      }
    }
  }

  std::unique_ptr<oiio::ImageOutput> output =
      oiio::ImageOutput::create(LibraryFormatName(options.format));
  if (!output) return Error{LibraryReason(oiio::geterror())};
  std::vector<unsigned char> encoded;
  oiio::Filesystem::IOVecOutput memory(encoded);
  output->set_ioproxy(&memory);
  const std::string name = "frame" + std::string(PictureFormatExtension(options.format));
  const void* data = exr    ? static_cast<const void*>(floats.data())
                     : wide ? static_cast<const void*>(bytes16.data())
                            : static_cast<const void*>(bytes8.data());
  const oiio::TypeDesc type = exr    ? oiio::TypeDesc::FLOAT
                              : wide ? oiio::TypeDesc::UINT16
                                     : oiio::TypeDesc::UINT8;
  if (!output->open(name, layout) || !output->write_image(type, data) || !output->close())
    return Error{LibraryReason(output->geterror())};
  return std::vector<uint8_t>(encoded.begin(), encoded.end());
}

constexpr StudioPictureCodec kCodec{kStudioPictureCodecVersion, sizeof(StudioPictureCodec), Decode,
                                    ReadHeader, Encode};

}  // namespace
}  // namespace quenda

extern "C" __attribute__((visibility("default"))) const quenda::StudioPictureCodec*
quenda_studio_picture_codec() {
  return &quenda::kCodec;
}
