// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The environment file: the globe's look and view as an XML document. The root element
// "GlobeEnvironment" carries the keys SurfaceTextureName, SurfaceColor, MinObjectColor, Color,
// CullObjectPixels, MinObjectPixels, Width and Height (the client size it was saved with); its
// child elements are Graticule (LongStep, LatStep, DrawMode and a Pen), Projector (the keys of
// the projector and a ProjectionModel with its Class), Renderer (MaxTextHeight, MinTextHeight,
// DoubleBuffer, SelectedPen, SelectedBrush), Presenters (the root layer's presenters), LayerStore
// (the map layers with their own presenters and sub-layers; an older file holds a GlobeLayer
// instead) and Application (Key elements with the Name and Value of what the program stores for
// itself).
//
// Reading checks the whole file before anything is applied: a file that is not well-formed XML,
// not an environment file, or holds a value that is not a number, out of range or of an unknown
// kind is refused with an error naming the file, the line and the reason, and the globe is left
// as it was. Map objects are not part of the environment: a layer of the file is matched by name
// with a layer of the globe, whose objects stay; a layer the globe lacks is made empty.

#include <functional>
#include <map>
#include <stdexcept>
#include <string>

namespace umbrivista {

class TGCustomGlobeView;

class TGEnvironmentError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Keys the program keeps in the environment beside the globe's own (the Application element).
using TGEnvironmentKeys = std::map<std::string, std::string>;
// What is wrong with the program's key `name` = `value` ("" when it can be used).
using TGEnvironmentKeyCheck =
    std::function<std::string(const std::string& name, const std::string& value)>;

// The environment of `globe` as an XML document.
std::string EnvironmentDocument(TGCustomGlobeView& globe, const TGEnvironmentKeys& application);
// Writes the document to `fileName` through a temporary file that is renamed into place. Throws
// TGEnvironmentError naming the file and the reason.
void WriteEnvironmentFile(TGCustomGlobeView& globe, const std::string& fileName,
                          const TGEnvironmentKeys& application);
// Reads `fileName` and applies it to `globe` (scale and origin grown by the ratio of the client's
// diagonal now to the saved one); returns the Application keys. Throws TGEnvironmentError
// ("file:line: reason", or "file: reason" for the file as a whole) and leaves the globe unchanged
// when the file cannot be used, also when `check` finds fault with one of the program's keys.
TGEnvironmentKeys ReadEnvironmentFile(TGCustomGlobeView& globe, const std::string& fileName,
                                      const TGEnvironmentKeyCheck& check = nullptr);

}  // namespace umbrivista
