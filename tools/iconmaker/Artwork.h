#pragma once
// The program's pictures, drawn as vector geometry at each target size so small icons
// land on whole pixels instead of being a large picture scaled down.
#include <QImage>

namespace Artwork {

enum class Tool { Open, Save, Connection, ChipOut, ChipIn };
enum class Brand { Orvan, Selvik };

// A toolbar image, `size` px square, transparent around the drawing.
QImage toolIcon(Tool tool, int size);

// The edition's window icon: the brand's lift mark, `size` px square.
QImage windowIcon(Brand brand, int size);

// The brand's logo (mark and wordmark) on white, 200x60.
QImage logo(Brand brand);

// The About dialog's product picture on the brand's backdrop, 240x180.
QImage productPicture(Brand brand);

} // namespace Artwork
