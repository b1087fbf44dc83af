#include "FormDump.h"

#include "Biz/AppConfig.h"
#include "Biz/ImageData.h"
#include "Platform/Controls/TreeViewTypes.h"
#include "Platform/Text/TextConv.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/MessageLoop.h"
#include "Views/CFileAddDialog.h"
#include "Views/ListViewItem.h"

using namespace Platform;

namespace {

HTREEITEM Next(HWND tree, UINT relation, HTREEITEM item)
{
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

// The visible rows of the tree: text, depth, and whether expanded and selected.
Json::Value TreeRows(HWND tree)
{
    Json::Value rows(Json::arrayValue);
    const HTREEITEM selected = Next(tree, TVGN_CARET, nullptr);
    for (HTREEITEM item = Next(tree, TVGN_ROOT, nullptr); item; item = Next(tree, TVGN_NEXTVISIBLE, item)) {
        wchar_t text[260] = {};
        TVITEMW query;
        query.mask = TVIF_TEXT | TVIF_STATE;
        query.hItem = item;
        query.pszText = text;
        query.cchTextMax = 260;
        query.stateMask = TVIS_EXPANDED;
        SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query));
        int depth = 0;
        for (HTREEITEM parent = Next(tree, TVGN_PARENT, item); parent; parent = Next(tree, TVGN_PARENT, parent))
            ++depth;
        Json::Value row(Json::objectValue);
        row["text"] = WideToUtf8(text);
        row["depth"] = depth;
        row["expanded"] = (query.state & TVIS_EXPANDED) != 0;
        row["selected"] = item == selected;
        rows.append(row);
    }
    return rows;
}

} // namespace

std::string DescribeActiveForm(Json::Value& out)
{
    CFileAddDialog* dialog = CFileAddDialog::FromWindow(GetActiveWindow());
    if (!dialog)
        return "the active window is not a form that can be dumped (the file-add dialog)";
    out = Json::Value(Json::objectValue);
    out["form"] = "file-add";
    out["folder"] = WideToUtf8(AppConfig::Instance().GetFolderPath());
    out["tree"] = TreeRows(dialog->Tree());
    Json::Value tiles(Json::arrayValue);
    for (ListViewItem* tile : dialog->Grid().Items()) {
        Json::Value entry(Json::objectValue);
        entry["name"] = WideToUtf8(tile->Data()->fileName);
        entry["checked"] = tile->checked != 0;
        entry["loaded"] = tile->Data()->IsLoaded();
        tiles.append(entry);
    }
    out["grid"] = tiles;
    out["count"] = WideToUtf8(dialog->CountText().text);
    out["size"] = WideToUtf8(dialog->SizeText().text);
    return "";
}
