// The five link status pictures, shared by the Relink Manager's status tree and the legend that
// explains it: the key a tree node carries, the picture the drivers draw for it (the Qt driver
// paints each name as a 16 x 12 bitmap) and the legend's explanation.
#pragma once

#include <array>

namespace orvanta {

struct StatusImage {
  const char* key;
  const char* picture;
  const char* meaning;
};

inline constexpr std::array<StatusImage, 5> kStatusImages = {{
    {"Pass", "status-pass", "- Link successfully established"},
    {"Fail", "status-fail", "- Linked database found, but table link failed"},
    {"Uncertain", "status-uncertain", "- Front end database moved"},
    {"ChildFail", "status-childfail", "- Linked database not found"},
    {"NotApp", "status-notapp", "- Linked Database not found, table links not tested"},
}};

// Width and height of each picture in twips (16 x 12 pixels).
inline constexpr int kStatusImageWidth = 16 * 15;
inline constexpr int kStatusImageHeight = 12 * 15;

}  // namespace orvanta
