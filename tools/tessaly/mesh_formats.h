#pragma once
// Reading and writing bodies in the formats the command line knows. Every
// reader fills an empty surface and reports errors by message; numbers are
// read and written in the C locale.

#include <string>

class G3Surface;

enum class MeshFormat { Dump, Vrml, Obj, Off, Stl, Unknown };

// From the file name's extension (taken from the name only): .g3s the
// kernel's text dump, .wrl VRML, .obj, .off, .stl.
MeshFormat FormatOf(const std::string& path);

bool ReadMesh(const std::string& path, G3Surface* surface, std::string& error);
bool WriteMesh(const std::string& path, G3Surface* surface, std::string& error);
