#include "PostList.h"

PostList::PostList(const std::vector<std::wstring>& paths)
{
    for (const std::wstring& path : paths)
        items.push_back(std::make_unique<PostItem>(path));
}
