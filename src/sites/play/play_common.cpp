#include "sites/play/play_common.h"

#include "net/inet_request.h"
#include "net/read_url.h"
#include "util/code_page.h"

namespace fw {
namespace {

// Answers are texts: they end at their first zero byte.
Text BytesAsGbkText(Bytes bytes) {
    if (const auto zero = bytes.find('\0'); zero != Bytes::npos) {
        bytes.resize(zero);
    }
    return Utf8ToGbk(bytes);
}

}  // namespace

Text PostSearchForm(std::string_view searchAddress, std::string_view keyword) {
    const Text body = "wd=" + UrlEncode(keyword, /*keepPlain=*/false, /*toUtf8=*/true);
    return BytesAsGbkText(InetRequest(searchAddress, /*method=*/1, body));
}

Text ReadPageText(std::string_view address) {
    return BytesAsGbkText(ReadUrl(address));
}

void ListPlayResult(SearchEngine& engine, const PlayResult& result, bool scrollIntoView) {
    ResultList& list = engine.PlayList();
    const std::shared_ptr<std::mutex> runLock = engine.CurrentRunLock();
    std::lock_guard guard(*runLock);
    const int row = list.AppendRow(PlayRowCells(list.RowCount() + 1, result));
    if (scrollIntoView) {
        list.ScrollIntoView(row);
    }
}

}  // namespace fw
