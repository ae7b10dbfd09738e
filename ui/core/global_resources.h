#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace ui {

class Control;
class ImageInfo;
class IRenderContext;
class IRenderFactory;

// The application's factory for element names the window builder does not
// know: a new control, or null.
using ControlFactory = std::function<Control*(const std::wstring& element_name)>;

// One entry of the font table. The handle belongs to the table.
struct FontInfo {
  HFONT handle = nullptr;
  std::wstring faceName;
  int32_t size = 0;
  bool bold = false;
  bool underline = false;
  bool italic = false;
};

// The process-wide store of everything skins share: the resource folder,
// fonts, colours, attribute classes, the image cache and the application's
// control factory. Static members only.
//
// Thread rules: UI thread only: the thread that first uses the store
// (Startup, in the program), checked in debug builds on every use; that
// includes releasing the last holder of a cached image. NormalizeImagePath
// is callable from any thread.
class GlobalResources {
 public:
  static constexpr wchar_t kDefaultDisabledTextColorName[] = L"textdefaultdisablecolor";
  static constexpr wchar_t kDefaultTextColorName[] = L"textdefaultcolor";
  static constexpr wchar_t kGlobalSkinFile[] = L"global.xml";
  static constexpr wchar_t kStringsFileName[] = L"gdstrings.ini";

  GlobalResources() = delete;

  // Starts everything before the first window: |resource_root| (ending in a
  // separator) followed by |theme_folder| becomes the resource folder, the
  // global skin and the language file "<root><language_folder>\gdstrings.ini"
  // are read, GDI+ and the common controls are started.
  static void Startup(const std::wstring& resource_root,
                      ControlFactory factory,
                      const std::wstring& theme_folder,
                      const std::wstring& language_folder);
  // Destroys the render factory and the fonts and ends GDI+. The other
  // tables stay.
  static void Shutdown();

  // Stored with a trailing "\" unless empty or already ending in "\" or "/".
  static void SetResourceFolder(const std::wstring& path);
  static std::wstring ResourceFolder();

  // The render factory made by Startup; null before it and after Shutdown.
  static IRenderFactory* RenderFactory();
  // A new render context owned by the caller; null without a factory.
  static std::unique_ptr<IRenderContext> CreateRenderContext();

  static const ControlFactory& CustomControlFactory();
  static void SetCustomControlFactory(ControlFactory factory);

  // Reads "global.xml" from the resource folder: default text colour names,
  // fonts, colours and classes. A missing or malformed file defines nothing.
  static void LoadGlobalSkin();

  // Null when the font cannot be created or |font_id| is taken (the first
  // definition stays). An empty id becomes the number of fonts defined so
  // far; the face name "system" becomes the system's UI face.
  static HFONT DefineFont(const std::wstring& font_id,
                          const std::wstring& face_name,
                          int32_t size,
                          bool bold,
                          bool underline,
                          bool italic,
                          bool make_default);
  // An empty id means the default font; unknown ids give null.
  static const FontInfo* FontById(const std::wstring& font_id);
  static std::wstring DefaultFontId();
  static void DestroyFonts();

  static void DefineColor(const std::wstring& name, uint32_t argb);
  // An unknown name is entered with 0, and 0 (no colour) is returned.
  static uint32_t ColorByName(const std::wstring& name);
  static std::wstring DisabledTextColorName();
  static void SetDisabledTextColorName(const std::wstring& name);
  static std::wstring DefaultTextColorName();
  static void SetDefaultTextColorName(const std::wstring& name);

  // A later definition of a class replaces the earlier one.
  static void DefineClass(const std::wstring& name, const std::wstring& attributes);
  // Empty for an unknown class.
  static std::wstring ClassAttributes(const std::wstring& name);

  // The decoded image of a file, shared with every other holder of the same
  // path ("/" and "\\" count as "\"). The cache keeps no image alive: the
  // entry goes with the last holder, and the next call decodes again. Null
  // when the file cannot be decoded.
  static std::shared_ptr<ImageInfo> LoadImageCached(const std::wstring& path);
  // The live image of the path, never decoding.
  static std::shared_ptr<ImageInfo> FindCachedImage(const std::wstring& path);
  // Erases the entry of exactly |path|.
  static void ForgetCachedImage(const std::wstring& path);
  // Erases the entry of |path| only while it still refers to |image|.
  static void ForgetCachedImage(const std::wstring& path, const ImageInfo* image);

  // A new control tree from the skin file |path| (relative to the resource
  // folder), without window or parent; the file is parsed once and kept.
  // Null when it cannot be loaded or makes no control.
  static Control* BuildFromSkinFile(const std::wstring& path, ControlFactory factory);

  // "/" becomes "\", then every "\\" becomes "\".
  static std::wstring NormalizeImagePath(const std::wstring& path);
};

}  // namespace ui
