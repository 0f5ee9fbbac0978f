// Every message of the plug-in, in one table: the text and the caption
// that names the kind of failure. Texts with "%" are printf formats; their
// arguments are named beside them.
//
// The captions are the system's own, byte for byte, and differ in places:
// "Memory error" for the node list and the texture placement, "Memory
// Error" elsewhere; "Input error" beside "File Error".
#pragma once

struct Message {
  const char* text;
  const char* caption;
};

// ---- Shown in a message box owned by the panel ------------------------------

// The panel, when "Save md2" is pressed with End before Start.
inline constexpr Message kLastFrameBeforeFirst{"Last frame must be greater than first frame",
                                               "Input error"};
// The panel, when "Save md2" is pressed with a Scale beyond the largest
// 32-bit number, or a First Frame whose frames would lie past the host's
// last time.
inline constexpr Message kScaleTooLarge{"Scale is too large to export", "Input error"};
inline constexpr Message kFirstFrameTooLate{
    "First Frame is too large: the frames would lie past the end of the host's time",
    "Input error"};
// The panel, when "Import new frame list" cannot read the chosen file.
inline constexpr Message kCannotLoadFrameList{"Cannot load new frame list", "File Error"};

// The Save command, one message a failing step.
inline constexpr Message kCannotGetMesh{"Cannot get mesh", "Scene Error"};
inline constexpr Message kNothingToSave{
    "Nothing to save. \n(Are all objects to save selected and mapped?)", "Scene Error"};
inline constexpr Message kCannotLoadTextures{"Cannot load all Textures...\nAre they all .BMP?",
                                             "Scene Error"};
inline constexpr Message kCannotPlaceTextures{
    "Unable to place all textures in specified texture size", "Buffer to small"};
inline constexpr Message kCannotSaveModel{
    "Cannot save model.\n(Is existing model of same vertex and face count?)", "File Error"};
inline constexpr Message kCannotAllocateSkin{"Cannot allocate memory for texture buffer",
                                             "Memory Error"};
inline constexpr Message kCannotSaveBmp{"Cannot save BMP image", "File Error"};
inline constexpr Message kCannotAllocatePcx{"Cannot allocate memory for PCX buffer",
                                            "Memory Error"};
inline constexpr Message kCannotSavePcx{"Cannot save PCX image", "File Error"};

// ---- Recorded in the first-error record (errors/error_record.h) ------------

// Node listing and mesh sampling.
inline constexpr Message kNodeListNoMemory{"Could not allocate memory for node enumeration",
                                           "Memory error"};
inline constexpr Message kMeshRangeInvalid{"Mesh range invalid", "Internal Parameter Error"};
inline constexpr Message kNodeGivesNoMesh{"Unable to get mesh from node pointer",
                                          "Internal Parameter Error"};
inline constexpr Message kMeshNoMemory{"Cannot get memory for mesh data", "Memory Error"};
// face, node name, vertex index, vertex count
inline constexpr Message kFaceVertexOutside{
    "Face %d of node %s uses vertex %u, but the mesh has %d vertices", "Internal Parameter Error"};
// face, node name, texture-vertex index, texture-vertex count
inline constexpr Message kFaceTextureVertexOutside{
    "Face %d of node %s uses texture vertex %u, but the mesh has %d texture vertices",
    "Internal Parameter Error"};

// Texture collection and placement.
inline constexpr Message kNoNodesForTextures{"No nodes selected to retrieve textures from",
                                             "Selection Error"};
inline constexpr Message kTexturesNoMemory{"Cannot get memory for bitmap data", "Memory Error"};
// material name
inline constexpr Message kNoDiffuseBitmap{"No Bitmap in diffuse slot of material:%s",
                                          "Scene Error"};
// material name
inline constexpr Message kNotABitmap{"Material %s is not a bitmap type", "Scene Error"};
// file name; the loader's reason goes with it
inline constexpr Message kCannotLoadPicture{"Could not load %s", "File Error"};
inline constexpr Message kPlacementNoMemory{"Could not get memory for bitmap placement",
                                            "Memory error"};

// Files: the mesh dump, the model file. Each takes the file's name.
inline constexpr Message kCannotOpenForWriting{"Could not open %s for writing", "File Error"};
inline constexpr Message kCannotWrite{"Could not write %s", "File Error"};
inline constexpr Message kCannotReplace{"Could not replace %s", "File Error"};

// The model file.
// vertices, triangles, frames
inline constexpr Message kModelDoesNotFitFormat{
    "A model of %d vertices, %d triangles and %d frames cannot be written", "Scene Error"};
inline constexpr Message kModelNoMemory{"Cannot get memory for the model file", "Memory Error"};
inline constexpr Message kFaceWithoutPlacedTexture{
    "Every face needs a placed texture inside the skin", "Scene Error"};
// frame name, host time, the frame's vertices, the model's vertices
inline constexpr Message kFrameVertexCount{
    "Frame \"%.15s\" (time %d) has %d vertices; the model has %d", "Scene Error"};
// frame name, host time, scale
inline constexpr Message kFramePositionNotFinite{
    "Frame \"%.15s\" (time %d) has a position that is not finite at scale %g", "Scene Error"};
// start, end, frame count
inline constexpr Message kFramesOutsideTable{"Frames %d to %d are not all among the %d frames",
                                             "Input error"};
// file name
inline constexpr Message kModelTooShort{"%s is too short for a model", "File Error"};
// file name; the file's triangles, vertices and frames; the export's
inline constexpr Message kModelCountsDiffer{
    "%s has %d triangles, %d vertices and %d frames; the export has %d, %d and %d", "File Error"};
// file name
inline constexpr Message kModelFramesOutside{"The frames of %s do not lie inside the file",
                                             "File Error"};
inline constexpr Message kModelFramesNoMemory{"Cannot get memory for the model frames",
                                              "Memory Error"};
// host frame
inline constexpr Message kHostFrameTooLate{"Host frame %lld lies past the host's times",
                                           "Input error"};
