#pragma once
// The messages of the movie writer and of the movie player's open step, and which FFmpeg
// error stands for which of them.

#include <string_view>

namespace quenda {

inline constexpr std::string_view kAviBadFormat =
    "The file couldn't be read, indicating a corrupt file or an unrecognized format.";
inline constexpr std::string_view kAviNoMemory =
    "There is not enough memory to create the avi file.";
inline constexpr std::string_view kAviFileRead =
    "A disk error occurred while reading the avi file.";
inline constexpr std::string_view kAviFileOpen =
    "A disk error occurred while opening the avi file.";
inline constexpr std::string_view kAviNoCompressor = "A suitable compressor cannot be found.";
inline constexpr std::string_view kAviReadOnly = "The avi file is read only.";
inline constexpr std::string_view kAviUnsupported =
    "The system does not support the required compression";
inline constexpr std::string_view kAviNoHandler =
    "According to the registry, the type of file specified in AVIFileOpen does not have a "
    "handler to process it.";
inline constexpr std::string_view kAviUnknown = "An unknown error has occured with avi file.";

inline constexpr std::string_view kPlayerNoMemory =
    "AVIERROR : The file could not be opened because of insufficient memory. ";
inline constexpr std::string_view kPlayerFileRead =
    "AVIERROR : A disk error occurred while reading the file. ";
inline constexpr std::string_view kPlayerFileOpen =
    "AVIERROR : A disk error occurred while opening the file. ";
inline constexpr std::string_view kPlayerNoVideo =
    "AVIERROR : The file does not contain a stream corresponding to the VIDEO";
inline constexpr std::string_view kPlayerBadFormat =
    "AVIERROR : The file couldn't be read, indicating a corrupt file or an unrecognized format.";
inline constexpr std::string_view kPlayerNoHandler =
    "AVIERROR : According to the registry, the type of file specified in AVIFileOpen does not "
    "have a handler to process it. ";
inline constexpr std::string_view kPlayerUnknown = "AVIERROR : Unknown error code";
inline constexpr std::string_view kPlayerNoDecompressor =
    "No Decompressors found for the video stream";

// An FFmpeg error code (negative) as the writer's message.
std::string_view WriterMessageFor(int ffmpegError);
// An FFmpeg error code (negative) met while opening a movie, as the player's message.
std::string_view PlayerMessageFor(int ffmpegError);

}  // namespace quenda
