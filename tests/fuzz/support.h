// Helpers shared by the fuzz targets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tl::fuzz {

// A folder of this process for files the readers under test open; removed
// at exit.
const std::string& scratchDir();
// Writes bytes to scratchDir()/name (plain write, the target reads it back).
std::string putFile(const std::string& name, const uint8_t* data, size_t size);
void removeFile(const std::string& path);

}  // namespace tl::fuzz
