#include "skins/skin_files.h"

#include "platform/files.h"
#include "platform/text.h"
#include "resources/builtin.h"
#include "skins/skin_setup.h"

namespace cirrodex {

namespace {

// A built-in picture is the resource named by the text before its first dot
// in capitals, of type BMP when the extension says bmp, else JPG.
PictureResult builtin_picture(const std::string& name) {
  const std::size_t dot = name.find('.');
  const std::string resource = text::upper(name.substr(0, dot));
  const bool bmp = dot != std::string::npos && text::iequals(name.substr(dot + 1, 3), "bmp");
  const auto bytes = builtin_resource(resource, bmp ? "BMP" : "JPG");
  if (!bytes) return {std::nullopt, "the built-in skin has no picture " + name};
  return bmp ? decode_bmp(*bytes) : decode_jpeg(*bytes);
}

}  // namespace

SkinResult load_skin_from_file(const std::string& ini_path, const std::function<void()>& gif_warning) {
  const FileRead text = read_whole_file(ini_path);
  if (!text.bytes) return {std::nullopt, "cannot read " + ini_path};
  const std::string folder = folder_of(ini_path);
  return load_skin(
      *text.bytes, [&](const std::string& name) { return load_picture_file(folder + name); }, gif_warning);
}

SkinResult load_builtin_skin(const std::function<void()>& gif_warning) {
  const auto text = builtin_resource("SKIN", "INI");
  if (!text) return {std::nullopt, "the program has no built-in skin"};
  return load_skin(*text, builtin_picture, gif_warning);
}

}  // namespace cirrodex
