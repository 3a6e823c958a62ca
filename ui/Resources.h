// The pictures compiled into the program (the window icon, the axis picture).
// kinemo_ui is a static library, so the linker drops resource files nobody refers
// to; call this once before the first QIcon(":/icons/...") or QPixmap(":/help/...").
#pragma once

namespace kinemo {

void initResources();

}  // namespace kinemo
