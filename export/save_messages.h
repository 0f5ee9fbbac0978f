// What the export command tells the user when a step fails: one message
// box, a fixed text and a caption naming the kind of failure.
#pragma once

struct SaveMessage {
  const char* text;
  const char* caption;
};

inline constexpr SaveMessage kCannotGetMesh{"Cannot get mesh", "Scene Error"};
inline constexpr SaveMessage kNothingToSave{
    "Nothing to save. \n(Are all objects to save selected and mapped?)", "Scene Error"};
inline constexpr SaveMessage kCannotLoadTextures{"Cannot load all Textures...\nAre they all .BMP?",
                                                 "Scene Error"};
inline constexpr SaveMessage kCannotPlaceTextures{
    "Unable to place all textures in specified texture size", "Buffer to small"};
inline constexpr SaveMessage kCannotSaveModel{
    "Cannot save model.\n(Is existing model of same vertex and face count?)", "File Error"};
inline constexpr SaveMessage kCannotAllocateSkin{"Cannot allocate memory for texture buffer",
                                                 "Memory Error"};
inline constexpr SaveMessage kCannotSaveBmp{"Cannot save BMP image", "File Error"};
inline constexpr SaveMessage kCannotAllocatePcx{"Cannot allocate memory for PCX buffer",
                                                "Memory Error"};
inline constexpr SaveMessage kCannotSavePcx{"Cannot save PCX image", "File Error"};
