#pragma once
// Pictures the commands write for a technician to look at: PNG files and contact sheets.

#include <QImage>
#include <QSize>

#include <string>
#include <vector>

namespace Lift::Cli {

// The pictures in rows of `perRow` cells of `cell` size on a grey ground, each at its
// cell's top left corner with a margin of 4 pixels; larger pictures are cut to the cell.
QImage ContactSheet(const std::vector<QImage>& pictures, QSize cell, int perRow);

// Writes `image` as a PNG file, atomically. False with `error` naming the file.
bool SavePng(const QImage& image, const std::string& path, std::string& error);

} // namespace Lift::Cli
