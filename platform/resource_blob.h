// The layout in which a resource module hands over its resources. A language module
// (internal/tvx_en.dll) exports TVX_RESOURCE_ENTRY; the program's own resources are the
// same structure linked into the program. Both are generated from resources/ at build time.
//
// strings: the string table as UTF-8 lines "id<TAB>text"; in text, "\n", "\t" and "\\"
//          stand for a line break, a tab and a backslash. Lines starting with '#' are comments.
// xrc:     dialog templates and menus as wxWidgets XRC documents; object names are the
//          numeric resource ids ("100" for dialog 100, "1279" for control 1279).
// items:   binary resources (bitmaps, icons, sounds) by type name and numeric id.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

struct TvxXrcDocument {
  const char* name;
  const char* text;
};

struct TvxResourceItem {
  const char* type;  // "BITMAP", "ICON", "WAVE" ...
  unsigned id;
  const unsigned char* data;
  unsigned long size;
};

struct TvxResourceBlob {
  unsigned version;  // kTvxResourceBlobVersion
  const char* strings;
  const struct TvxXrcDocument* xrc;
  unsigned xrcCount;
  const struct TvxResourceItem* items;
  unsigned itemCount;
};

typedef const struct TvxResourceBlob* (*TvxResourceEntry)(void);

#ifdef __cplusplus
}
#endif

#define TVX_RESOURCE_ENTRY "tvx_resource_module"
#define TVX_RESOURCE_BLOB_VERSION 1u
