// Loading a skin into a TsSkinContent: its Options.dat text read into
// masks (with the master bitmap), JPEG textures and the general data of
// every section, from a skin folder, a packed file or a stored skin; then
// the hue and saturation of the whole skin shifted once.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "skin/core/colors.h"
#include "skin/core/skincontent.h"
#include "skin/core/skinpack.h"
#include "skin/core/storedskins.h"

namespace skin {

struct TSkinLoadOptions {
    std::vector<std::string> CommonSections;  // extra sections the application adds to every skin
    int HueOffset = 0;                        // degrees
    int Saturation = 0;                       // percent; positive is stronger
    // Turns a colour that may name a system colour into RGB; without one the
    // colour is taken as written.
    std::function<TColor(TColor)> ColorToRGB;
};

enum class TSkinLoadStatus {
    Loaded,      // the skin is there
    Unreadable,  // the packed data could not be read: a skin with no sections, and a warning
    Failed,      // the load broke off: nothing is loaded, and a message says why
    NotFound,    // no such folder and no stored skin to stand in
};

struct TSkinLoadResult {
    TSkinLoadStatus Status = TSkinLoadStatus::Loaded;
    std::string Message;   // for the player, once; empty when there is nothing to say
    std::string SkinName;  // the skin that was loaded: a stored skin may stand in for a missing one
};

// The skin folder Dir\SkinName\ with its Options.dat; without one, the stored
// skin of that name, or the first stored skin.
TSkinLoadResult LoadSkinFromDir(TsSkinContent& content, const std::string& dir, const std::string& skinName,
                                const TsStoredSkins& storedSkins, const TSkinLoadOptions& options);

// The packed file NormalDir(SkinDirectory) + SkinName + ".asz"; image
// paths written in it are taken relative to FullSkinDirectory.
TSkinLoadResult LoadSkinFromPacked(TsSkinContent& content, const std::string& skinDirectory,
                                   const std::string& skinName, const std::string& fullSkinDirectory,
                                   const TSkinLoadOptions& options);

// One stored skin: its packed data, or its collections when it has none.
TSkinLoadResult LoadStoredSkin(TsSkinContent& content, const TsStoredSkin& stored, const TSkinLoadOptions& options);

// An Options.dat text with its pictures taken from a convertor (or from the
// disk under the content's SkinPath when there is none).
TSkinLoadResult LoadSkinFromText(TsSkinContent& content, const std::string& optionsText,
                                 const TacSkinConvertor* unpacked, const TSkinLoadOptions& options);

// Every picture of the skin (master bitmap and masks' own images; not the
// JPEG patterns) and every colour of its sections, shifted. 0 changes nothing.
void ApplyHueOffset(TsSkinContent& content, int degrees);
// Saturation S moves colours by (-S) rem 101 percent toward grey.
void ApplySaturation(TsSkinContent& content, int value);

// A file of the program's disk (a path as the program writes it), found
// without regard to the case of its name as the system would; false when
// there is no such file.
bool ReadSkinFile(const std::string& programPath, std::string& bytes);

}  // namespace skin
