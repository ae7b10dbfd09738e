#include "ui/core/global_resources.h"

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <utility>

#include "base/thread/thread_checker.h"
#include "ui/core/image_info.h"
#include "ui/core/language_strings.h"
#include "ui/core/markup.h"
#include "ui/render/gdiplus_session.h"
#include "ui/render/render_context.h"
#include "ui/render/render_factory.h"
#include "ui/render/render_resources.h"

namespace ui {

namespace {

struct CachedImage {
  std::weak_ptr<ImageInfo> image;
  // Identifies the image the entry was made for after the weak reference
  // has expired; never dereferenced.
  const ImageInfo* identity = nullptr;
};

struct State {
  // Bound to the thread of the first use.
  kbase::ThreadChecker ui_thread;
  std::wstring resource_folder;
  std::unique_ptr<IRenderFactory> render_factory;
  ControlFactory control_factory;
  std::map<std::wstring, FontInfo> fonts;
  std::wstring default_font_id;
  std::map<std::wstring, uint32_t> colors;
  std::wstring disabled_text_color_name = GlobalResources::kDefaultDisabledTextColorName;
  std::wstring default_text_color_name = GlobalResources::kDefaultTextColorName;
  std::map<std::wstring, std::wstring> classes;
  std::map<std::wstring, CachedImage> images;
  std::unique_ptr<GdiplusSession> gdiplus;
};

// Every use of the store passes here.
State& state() {
  // Never destroyed: images released during process exit still find it.
  static State* const instance = new State();
  KBASE_DCHECK_CALLED_ON_VALID_THREAD(instance->ui_thread);
  return *instance;
}

bool IsVistaOrLater() {
  static const bool vista = [] {
    OSVERSIONINFOEXW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    version.dwMajorVersion = 6;
    version.dwMinorVersion = 0;
    version.wServicePackMajor = 0;
    DWORDLONG mask = 0;
    mask = VerSetConditionMask(mask, VER_MAJORVERSION, VER_GREATER_EQUAL);
    mask = VerSetConditionMask(mask, VER_MINORVERSION, VER_GREATER_EQUAL);
    mask = VerSetConditionMask(mask, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
    return VerifyVersionInfoW(&version, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR,
                              mask) != FALSE;
  }();
  return vista;
}

std::wstring ResolveFaceName(const std::wstring& face_name) {
  if (face_name != L"system")
    return face_name;
  return IsVistaOrLater() ? L"微软雅黑" : L"新宋体";
}

HFONT CreateFontFor(const std::wstring& face_name,
                    int32_t size,
                    bool bold,
                    bool underline,
                    bool italic) {
  LOGFONTW font = {};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
  const size_t length = std::min<size_t>(face_name.size(), LF_FACESIZE - 1);
  face_name.copy(font.lfFaceName, length);
  font.lfFaceName[length] = L'\0';
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfHeight = -size;
  if (bold)
    font.lfWeight += FW_BOLD;
  if (underline)
    font.lfUnderline = TRUE;
  if (italic)
    font.lfItalic = TRUE;
  return CreateFontIndirectW(&font);
}

}  // namespace

void GlobalResources::Startup(const std::wstring& resource_root,
                              ControlFactory factory,
                              const std::wstring& theme_folder,
                              const std::wstring& language_folder) {
  state().render_factory = std::make_unique<RenderFactory_GdiPlus>();
  // Drawing finds colours and fonts by name through these.
  RenderResources::SetColorLookup(&GlobalResources::ColorByName);
  RenderResources::SetFontLookup([](const std::wstring& font_id) -> HFONT {
    const FontInfo* font = FontById(font_id);
    return font ? font->handle : nullptr;
  });
  SetResourceFolder(resource_root + theme_folder);
  SetCustomControlFactory(std::move(factory));
  LoadGlobalSkin();
  LanguageStrings::Instance()->LoadStringsFile(resource_root + language_folder + L"\\" +
                                               kStringsFileName);
  if (!state().gdiplus)
    state().gdiplus = std::make_unique<GdiplusSession>();
  // The tooltip window of the window host needs the common controls.
  InitCommonControls();
}

void GlobalResources::Shutdown() {
  state().render_factory.reset();
  DestroyFonts();
  state().gdiplus.reset();
}

void GlobalResources::SetResourceFolder(const std::wstring& path) {
  std::wstring folder = path;
  if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/')
    folder.push_back(L'\\');
  state().resource_folder = std::move(folder);
  // Skin files named by relative paths are read below this folder.
  MarkupDocument::SetResourceFolderProvider(&GlobalResources::ResourceFolder);
}

std::wstring GlobalResources::ResourceFolder() {
  return state().resource_folder;
}

IRenderFactory* GlobalResources::RenderFactory() {
  return state().render_factory.get();
}

std::unique_ptr<IRenderContext> GlobalResources::CreateRenderContext() {
  IRenderFactory* factory = RenderFactory();
  return factory ? factory->CreateRenderContext() : nullptr;
}

const ControlFactory& GlobalResources::CustomControlFactory() {
  return state().control_factory;
}

void GlobalResources::SetCustomControlFactory(ControlFactory factory) {
  state().control_factory = std::move(factory);
}

HFONT GlobalResources::DefineFont(const std::wstring& font_id,
                                  const std::wstring& face_name,
                                  int32_t size,
                                  bool bold,
                                  bool underline,
                                  bool italic,
                                  bool make_default) {
  State& s = state();
  const std::wstring id = font_id.empty() ? std::to_wstring(s.fonts.size()) : font_id;
  const std::wstring face = ResolveFaceName(face_name);
  HFONT handle = CreateFontFor(face, size, bold, underline, italic);
  if (!handle)
    return nullptr;

  const bool inserted =
      s.fonts.try_emplace(id, FontInfo{handle, face, size, bold, underline, italic}).second;
  if (make_default)
    s.default_font_id = id;
  if (!inserted) {
    DeleteObject(handle);
    return nullptr;
  }
  return handle;
}

const FontInfo* GlobalResources::FontById(const std::wstring& font_id) {
  State& s = state();
  auto found = s.fonts.find(font_id.empty() ? s.default_font_id : font_id);
  return found == s.fonts.end() ? nullptr : &found->second;
}

std::wstring GlobalResources::DefaultFontId() {
  return state().default_font_id;
}

void GlobalResources::DestroyFonts() {
  for (auto& [id, font] : state().fonts) {
    if (font.handle)
      DeleteObject(font.handle);
  }
  state().fonts.clear();
}

void GlobalResources::DefineColor(const std::wstring& name, uint32_t argb) {
  state().colors[name] = argb;
}

uint32_t GlobalResources::ColorByName(const std::wstring& name) {
  return state().colors.try_emplace(name, 0u).first->second;
}

std::wstring GlobalResources::DisabledTextColorName() {
  return state().disabled_text_color_name;
}

void GlobalResources::SetDisabledTextColorName(const std::wstring& name) {
  state().disabled_text_color_name = name;
}

std::wstring GlobalResources::DefaultTextColorName() {
  return state().default_text_color_name;
}

void GlobalResources::SetDefaultTextColorName(const std::wstring& name) {
  state().default_text_color_name = name;
}

void GlobalResources::DefineClass(const std::wstring& name, const std::wstring& attributes) {
  state().classes[name] = attributes;
}

std::wstring GlobalResources::ClassAttributes(const std::wstring& name) {
  auto found = state().classes.find(name);
  return found == state().classes.end() ? std::wstring() : found->second;
}

std::wstring GlobalResources::NormalizeImagePath(const std::wstring& path) {
  std::wstring normalized;
  normalized.reserve(path.size());
  // One left-to-right pass: each "\\" pair becomes one "\", so three in a
  // row become two.
  for (size_t i = 0; i < path.size(); ++i) {
    const bool separator = path[i] == L'\\' || path[i] == L'/';
    normalized.push_back(separator ? L'\\' : path[i]);
    if (separator && i + 1 < path.size() && (path[i + 1] == L'\\' || path[i + 1] == L'/'))
      ++i;
  }
  return normalized;
}

std::shared_ptr<ImageInfo> GlobalResources::FindCachedImage(const std::wstring& path) {
  auto found = state().images.find(NormalizeImagePath(path));
  if (found == state().images.end())
    return nullptr;
  return found->second.image.lock();
}

std::shared_ptr<ImageInfo> GlobalResources::LoadImageCached(const std::wstring& path) {
  const std::wstring normalized = NormalizeImagePath(path);
  auto found = state().images.find(normalized);
  if (found != state().images.end()) {
    if (std::shared_ptr<ImageInfo> image = found->second.image.lock())
      return image;
  }
  std::shared_ptr<ImageInfo> image = DecodeImageFile(normalized);
  if (!image)
    return nullptr;
  // The image's destructor removes the entry when the last holder lets go.
  image->cached = true;
  image->path = normalized;
  state().images[normalized] = CachedImage{image, image.get()};
  return image;
}

void GlobalResources::ForgetCachedImage(const std::wstring& path) {
  state().images.erase(path);
}

void GlobalResources::ForgetCachedImage(const std::wstring& path, const ImageInfo* image) {
  auto found = state().images.find(path);
  if (found != state().images.end() && found->second.identity == image)
    state().images.erase(found);
}

}  // namespace ui
