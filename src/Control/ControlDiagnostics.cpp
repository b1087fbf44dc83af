#include "Control/ControlDiagnostics.h"

#include "Biz/AppConfig.h"
#include "Biz/AppState.h"
#include "Biz/ImageData.h"
#include "Biz/UiText.h"
#include "Control/MainView.h"
#include "Control/TrellanModule.h"
#include "Platform/Controls/TreeViewTypes.h"
#include "Platform/Text/TextConv.h"
#include "Platform/Win/Input.h"
#include "Platform/Win/MessageLoop.h"
#include "Views/CFileAddDialog.h"
#include "Views/ListViewItem.h"

#include <dlfcn.h>
#include <elf.h>
#include <link.h>

#include <cstdio>
#include <cstring>

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

// The build-id note of the loaded object whose base address is base, in hexadecimal.
struct BuildIdSearch {
    ElfW(Addr) base = 0;
    std::string id;
};

int FindBuildId(dl_phdr_info* info, std::size_t, void* data)
{
    auto& search = *static_cast<BuildIdSearch*>(data);
    if (info->dlpi_addr != search.base)
        return 0;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& header = info->dlpi_phdr[i];
        if (header.p_type != PT_NOTE)
            continue;
        const auto* note = reinterpret_cast<const std::uint8_t*>(info->dlpi_addr + header.p_vaddr);
        const auto* end = note + header.p_memsz;
        while (note + sizeof(ElfW(Nhdr)) <= end) {
            const auto* entry = reinterpret_cast<const ElfW(Nhdr)*>(note);
            const std::uint8_t* name = note + sizeof(ElfW(Nhdr));
            const std::uint8_t* desc = name + ((entry->n_namesz + 3) & ~3u);
            if (desc + entry->n_descsz > end)
                break;
            if (entry->n_type == NT_GNU_BUILD_ID && entry->n_namesz == 4 && std::memcmp(name, "GNU", 4) == 0) {
                char digits[3];
                for (std::uint32_t k = 0; k < entry->n_descsz; ++k) {
                    std::snprintf(digits, sizeof digits, "%02x", desc[k]);
                    search.id += digits;
                }
                return 1;
            }
            note = desc + ((entry->n_descsz + 3) & ~3u);
        }
    }
    return 1;
}

} // namespace

namespace ControlDiagnostics {

Json::Value DescribeList(const MainView& view)
{
    Json::Value tiles(Json::arrayValue);
    for (ListViewItem* tile : view.list.Items()) {
        const std::shared_ptr<ImageData> record = tile->Data();
        Json::Value entry(Json::objectValue);
        entry["path"] = record ? WideToUtf8(record->path) : "";
        entry["remark"] = record ? WideToUtf8(record->remark) : "";
        entry["selected"] = tile->IsSelected();
        entry["rotation"] = record ? record->QuarterTurns() : 0;
        entry["loaded"] = record && record->IsLoaded();
        tiles.append(entry);
    }
    Json::Value dump(Json::objectValue);
    dump["tiles"] = tiles;
    dump["scroll"] = view.list.ScrollPosition();
    dump["uploading"] = AppState::Instance().IsUploading();
    return dump;
}

Json::Value DescribeForm()
{
    CFileAddDialog* dialog = CFileAddDialog::FromWindow(GetActiveWindow());
    if (!dialog)
        return Json::Value();
    Json::Value out(Json::objectValue);
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
    return out;
}

Json::Value DescribeConfig()
{
    const AppConfig& config = AppConfig::Instance();
    Json::Value dump(Json::objectValue);
    dump["MaxFiles"] = config.MaxFiles;
    dump["MaxFileSize"] = static_cast<Json::Int64>(config.MaxFileSize);
    dump["ThreadCount"] = config.ThreadCount;
    dump["Cookie"] = config.Cookie;
    dump["PostUrl"] = WideToUtf8(config.PostUrl);
    dump["EncodeType"] = WideToUtf8(config.EncodeType);
    dump["FileFieldName"] = config.FileFieldName;
    dump["FileNameGen"] = config.FileNameGen;
    dump["FolderPath"] = WideToUtf8(config.FolderPath);
    dump["Language"] = UiText::LanguageName(config.Language);
    Json::Value fields(Json::objectValue);
    for (const auto& [name, value] : config.Fields)
        fields[name] = value;
    dump["Fields"] = fields;
    return dump;
}

Json::Value DescribeBuild()
{
    Json::Value dump(Json::objectValue);
    dump["module"] = WideToUtf8(TrellanModule::Path());
    Dl_info info{};
    BuildIdSearch search;
    if (dladdr(reinterpret_cast<void*>(&DescribeBuild), &info))
        search.base = reinterpret_cast<ElfW(Addr)>(info.dli_fbase);
    dl_iterate_phdr(&FindBuildId, &search);
    dump["build_id"] = search.id;
    return dump;
}

} // namespace ControlDiagnostics
