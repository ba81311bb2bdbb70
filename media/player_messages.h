#pragma once
// The movie player's own messages and captions.

#include <string_view>

namespace quenda {

inline constexpr std::string_view kPlayerCaption = "Quenda Movie Player";
inline constexpr const char* kPlayerCaptionPlaying = "Quenda Movie Player - FRM : %d  FPS : %d";
inline constexpr const char* kPlayerCaptionStopped = "Quenda Movie Player - FRM : %d";

inline constexpr std::string_view kPlayerShortName = "Invalid avi filename!";
inline constexpr std::string_view kPlayerBadExtension = "Invalid avi filename extension!";
inline constexpr std::string_view kPlayerEmptyMovie = "Empty Movie File!";
inline constexpr std::string_view kPlayerNoAudioDevice =
    "There are no audio devices to play the sound in the flipbook!";
inline constexpr std::string_view kPlayerAudioOpenFailed = "Could not open the audio device!";
inline constexpr std::string_view kPlayerSoundWriteFailed = "Could not write wave header";
inline constexpr std::string_view kPlayerDoesNotFit =
    "The movie does not fit in the window! \nPlease prepare at a smaller size or increase your "
    "screen resolution.";
inline constexpr std::string_view kPlayerZoomDoesNotFit = "Zoomed window does not fit to screen!";
inline constexpr std::string_view kPlayerBadFrame =
    "Internal Error in DrawFrame: Invalid Frame no!";
inline constexpr std::string_view kPlayerNoStream =
    "Internal Error in DrawFrame: Video Stream not ready!";
inline constexpr std::string_view kPlayerTooSlow =
    "Player can not play at the correct frame rate!\nYou can try these:\n   1) Close other "
    "running programs and stop network transfers.\n   2) Change the display setting to a lower "
    "number of colors.\n          (32768 colors in NT or 16 bit in 95 will do.)\n   3) Lower the "
    "quality setting when generating the avi movie.\n   4) Lower the avi movie size when "
    "generating the avi movie or not choose x2 when playing it.\n   5) Lower your screen "
    "resolution.\nfor a better frame rate.";

}  // namespace quenda
