#pragma once
// Styles, messages, notifications and structures of the system class "SysTreeView32".

#include "Platform/Win/WinTypes.h"

namespace Platform {

struct TreeItemTag;
using HTREEITEM = TreeItemTag*;

// Styles.
constexpr std::uint32_t TVS_HASBUTTONS = 0x0001;
constexpr std::uint32_t TVS_HASLINES = 0x0002;
constexpr std::uint32_t TVS_LINESATROOT = 0x0004;
constexpr std::uint32_t TVS_SHOWSELALWAYS = 0x0020;

// Insertion places.
inline const HTREEITEM TVI_ROOT = reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x10000));
inline const HTREEITEM TVI_FIRST = reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x0FFFF));
inline const HTREEITEM TVI_LAST = reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x0FFFE));
inline const HTREEITEM TVI_SORT = reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x0FFFD));

// Item fields (TVITEMW::mask) and states.
constexpr UINT TVIF_TEXT = 0x0001;
constexpr UINT TVIF_IMAGE = 0x0002;
constexpr UINT TVIF_PARAM = 0x0004;
constexpr UINT TVIF_STATE = 0x0008;
constexpr UINT TVIF_HANDLE = 0x0010;
constexpr UINT TVIF_SELECTEDIMAGE = 0x0020;
constexpr UINT TVIF_CHILDREN = 0x0040;
constexpr UINT TVIS_SELECTED = 0x0002;
constexpr UINT TVIS_EXPANDED = 0x0020;
constexpr UINT TVIS_EXPANDEDONCE = 0x0040;

// Messages.
constexpr UINT TVM_DELETEITEM = 0x1101;
constexpr UINT TVM_EXPAND = 0x1102;
constexpr UINT TVM_GETITEMRECT = 0x1104;
constexpr UINT TVM_GETCOUNT = 0x1105;
constexpr UINT TVM_GETINDENT = 0x1106;
constexpr UINT TVM_GETIMAGELIST = 0x1108;
constexpr UINT TVM_SETIMAGELIST = 0x1109;
constexpr UINT TVM_GETNEXTITEM = 0x110A;
constexpr UINT TVM_SELECTITEM = 0x110B;
constexpr UINT TVM_GETVISIBLECOUNT = 0x1110;
constexpr UINT TVM_HITTEST = 0x1111;
constexpr UINT TVM_SORTCHILDREN = 0x1113;
constexpr UINT TVM_ENSUREVISIBLE = 0x1114;
constexpr UINT TVM_SORTCHILDRENCB = 0x1115;
constexpr UINT TVM_GETITEMHEIGHT = 0x111C;
constexpr UINT TVM_INSERTITEMW = 0x1132;
constexpr UINT TVM_GETITEMW = 0x113E;
constexpr UINT TVM_SETITEMW = 0x113F;

// TVM_EXPAND actions.
constexpr UINT TVE_COLLAPSE = 0x0001;
constexpr UINT TVE_EXPAND = 0x0002;
constexpr UINT TVE_TOGGLE = 0x0003;

// TVM_GETNEXTITEM and TVM_SELECTITEM relations.
constexpr UINT TVGN_ROOT = 0x0000;
constexpr UINT TVGN_NEXT = 0x0001;
constexpr UINT TVGN_PREVIOUS = 0x0002;
constexpr UINT TVGN_PARENT = 0x0003;
constexpr UINT TVGN_CHILD = 0x0004;
constexpr UINT TVGN_FIRSTVISIBLE = 0x0005;
constexpr UINT TVGN_NEXTVISIBLE = 0x0006;
constexpr UINT TVGN_PREVIOUSVISIBLE = 0x0007;
constexpr UINT TVGN_CARET = 0x0009;
constexpr UINT TVGN_LASTVISIBLE = 0x000A;

// TVM_SETIMAGELIST / TVM_GETIMAGELIST.
constexpr WPARAM TVSIL_NORMAL = 0;

// Hit-test results.
constexpr UINT TVHT_NOWHERE = 0x0001;
constexpr UINT TVHT_ONITEMICON = 0x0002;
constexpr UINT TVHT_ONITEMLABEL = 0x0004;
constexpr UINT TVHT_ONITEMINDENT = 0x0008;
constexpr UINT TVHT_ONITEMBUTTON = 0x0010;
constexpr UINT TVHT_ONITEMRIGHT = 0x0020;
constexpr UINT TVHT_ONITEM = TVHT_ONITEMICON | TVHT_ONITEMLABEL;

// Notifications (WM_NOTIFY codes) and the causes they report.
constexpr UINT TVN_SELCHANGINGW = static_cast<UINT>(-450);
constexpr UINT TVN_SELCHANGEDW = static_cast<UINT>(-451);
constexpr UINT TVN_ITEMEXPANDINGW = static_cast<UINT>(-454);
constexpr UINT TVN_ITEMEXPANDEDW = static_cast<UINT>(-455);
constexpr UINT TVN_DELETEITEMW = static_cast<UINT>(-458);
constexpr UINT TVC_UNKNOWN = 0x0000;
constexpr UINT TVC_BYMOUSE = 0x0001;
constexpr UINT TVC_BYKEYBOARD = 0x0002;

struct TVITEMW {
    UINT mask = 0;
    HTREEITEM hItem = nullptr;
    UINT state = 0;
    UINT stateMask = 0;
    wchar_t* pszText = nullptr;
    int cchTextMax = 0;
    int iImage = 0;
    int iSelectedImage = 0;
    int cChildren = 0;
    LPARAM lParam = 0;
};

struct TVINSERTSTRUCTW {
    HTREEITEM hParent = nullptr;
    HTREEITEM hInsertAfter = nullptr;
    TVITEMW item;
};

struct NMTREEVIEWW {
    NMHDR hdr;
    UINT action = 0;
    TVITEMW itemOld;
    TVITEMW itemNew;
    POINT ptDrag;
};

using PFNTVCOMPARE = int (*)(LPARAM first, LPARAM second, LPARAM sortParam);

struct TVSORTCB {
    HTREEITEM hParent = nullptr;
    PFNTVCOMPARE lpfnCompare = nullptr;
    LPARAM lParam = 0;
};

struct TVHITTESTINFO {
    POINT pt;
    UINT flags = 0;
    HTREEITEM hItem = nullptr;
};

} // namespace Platform
