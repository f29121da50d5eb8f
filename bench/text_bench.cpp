// Cost of the character-aware text routines on a realistic result page, against plain byte searches
// that ignore character boundaries. Prints the ratios at the end; the goal for ExtractAllBetween is at
// most 1.5 times the plain loop.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "util/code_page.h"
#include "util/text_markers.h"
#include "util/text_primitives.h"

namespace {

constexpr std::size_t kPageBytes = 1024 * 1024;
constexpr std::string_view kLeftMarker = "<a title=\"";
constexpr std::string_view kRightMarker = "\"  href=";
constexpr std::string_view kEndMarker = "<!-- results end -->";

// A magnet search result page in GBK: about 2,000 result blocks of mixed Chinese and ASCII, one title
// marker pair each, then the end marker.
const fw::Text& ResultPage() {
    static const fw::Text page = [] {
        const fw::Text header = fw::Utf8ToGbk(
            "<html><head><meta charset=\"gbk\"><title>流浪地球 - 磁力搜索</title></head><body>"
            "<div class=\"nav\"><a href=\"/\">首页</a> <a href=\"/hot\">热门</a></div>\n");
        const std::vector<fw::Text> names = {
            fw::Utf8ToGbk("流浪地球2.The.Wandering.Earth.II.2023.2160p.WEB-DL.H265.国语中字"),
            fw::Utf8ToGbk("[电影天堂]满江红.Full.River.Red.2023.1080p.国语中字.mp4"),
            fw::Utf8ToGbk("无名.Hidden.Blade.2023.HD1080P.国语中字"),
            fw::Utf8ToGbk("深海 Deep Sea 2023 动画 1080p 国语"),
        };
        const fw::Text created = fw::Utf8ToGbk("创建时间：");
        const fw::Text size = fw::Utf8ToGbk("文件大小：");
        const fw::Text heat = fw::Utf8ToGbk("热度：");
        const fw::Text link = fw::Utf8ToGbk("磁力链接");
        const fw::Text note = fw::Utf8ToGbk("高清资源，中文字幕，画质清晰，欢迎下载。");
        const fw::Text footer = std::string(kEndMarker) + "</body></html>";

        fw::Text text = header;
        for (int index = 0; text.size() + footer.size() < kPageBytes; ++index) {
            const fw::Text& name = names[index % names.size()];
            const std::string hash = std::to_string(1'000'000'007ULL * (index + 1)) + "ABCDEF0123456789";
            fw::Text block = "<div class=\"search-item\">\n<div class=\"item-title\"><h3>";
            block += std::string(kLeftMarker) + name + std::string(kRightMarker) + "\"/detail/" + hash +
                     ".html\" target=\"_blank\">" + name + "</a></h3></div>\n";
            block += "<div class=\"item-list\"><p>" + note + "</p></div>\n";
            block += "<div class=\"item-bar\"><span>" + created + "<b>2023-0" +
                     std::to_string(index % 9 + 1) + "-15</b></span><span>" + size + "<b>" +
                     std::to_string(index % 50 + 1) + ".2 GB</b></span>" + "<span>" + heat + "<b>" +
                     std::to_string(index * 7 % 1000) + "</b></span>" +
                     "<a href=\"magnet:?xt=urn:btih:" + hash + "\">" + link + "</a></div>\n</div>\n";
            text += block;
        }
        text.resize(kPageBytes - footer.size(), ' ');
        text += footer;
        return text;
    }();
    return page;
}

int CountResults() {
    int count = 0;
    const std::string_view page = ResultPage();
    for (std::size_t at = page.find(kLeftMarker); at != std::string_view::npos;
         at = page.find(kLeftMarker, at + 1)) {
        ++count;
    }
    return count;
}

void BM_ExtractAllBetween(benchmark::State& state) {
    const fw::Text& page = ResultPage();
    fw::TextList list;
    for (auto _ : state) {
        benchmark::DoNotOptimize(fw::ExtractAllBetween(page, kLeftMarker, kRightMarker, list));
        benchmark::ClobberMemory();
    }
    state.counters["items"] = static_cast<double>(list.size());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_ExtractAllBetween)->Unit(benchmark::kMicrosecond);

// The same items cut with std::string_view::find, blind to two-byte characters.
void BM_PlainFindLoop(benchmark::State& state) {
    const std::string_view page = ResultPage();
    fw::TextList list;
    for (auto _ : state) {
        list.clear();
        std::size_t from = 0;
        for (;;) {
            const std::size_t left = page.find(kLeftMarker, from);
            if (left == std::string_view::npos) {
                break;
            }
            from = left + kLeftMarker.size();
            const std::size_t right = page.find(kRightMarker, from);
            if (right == std::string_view::npos) {
                break;
            }
            list.emplace_back(page.substr(from, right - from));
        }
        benchmark::DoNotOptimize(list.data());
        benchmark::ClobberMemory();
    }
    state.counters["items"] = static_cast<double>(list.size());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_PlainFindLoop)->Unit(benchmark::kMicrosecond);

void BM_FindTextAtEnd(benchmark::State& state) {
    const fw::Text& page = ResultPage();
    for (auto _ : state) {
        benchmark::DoNotOptimize(fw::FindText(page, kEndMarker));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_FindTextAtEnd)->Unit(benchmark::kMicrosecond);

void BM_PlainFindAtEnd(benchmark::State& state) {
    const std::string_view page = ResultPage();
    for (auto _ : state) {
        benchmark::DoNotOptimize(page.find(kEndMarker));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_PlainFindAtEnd)->Unit(benchmark::kMicrosecond);

void BM_FindTextAtEndIgnoreCase(benchmark::State& state) {
    const fw::Text& page = ResultPage();
    for (auto _ : state) {
        benchmark::DoNotOptimize(fw::FindText(page, "<!-- RESULTS END -->", 1, true));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_FindTextAtEndIgnoreCase)->Unit(benchmark::kMicrosecond);

void BM_FindLastTextOfTitleMarker(benchmark::State& state) {
    const fw::Text& page = ResultPage();
    for (auto _ : state) {
        benchmark::DoNotOptimize(fw::FindLastText(page, kLeftMarker));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_FindLastTextOfTitleMarker)->Unit(benchmark::kMicrosecond);

// Keeps each benchmark's CPU time (the median when repeated) so that the ratios can be printed after the
// run. CPU time rather than wall time: the machine is shared, and waiting for a core is not the routine's.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) {
                continue;
            }
            if (run.run_type == Run::RT_Iteration && medians_.count(run.run_name.str()) == 0) {
                times_[run.run_name.str()] = run.GetAdjustedCPUTime();
            } else if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                medians_[run.run_name.str()] = true;
                times_[run.run_name.str()] = run.GetAdjustedCPUTime();
            }
        }
    }

    void PrintRatio(const char* label, const std::string& measured, const std::string& baseline) const {
        const auto m = times_.find(measured);
        const auto b = times_.find(baseline);
        if (m != times_.end() && b != times_.end() && b->second > 0) {
            std::printf("%s ratio: %.2f\n", label, m->second / b->second);
        }
    }

  private:
    std::map<std::string, double> times_;
    std::map<std::string, bool> medians_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    std::printf("page: %zu bytes, %d results\n", ResultPage().size(), CountResults());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio("ExtractAllBetween / plain find loop", "BM_ExtractAllBetween", "BM_PlainFindLoop");
    reporter.PrintRatio("FindText at end / plain find", "BM_FindTextAtEnd", "BM_PlainFindAtEnd");
    benchmark::Shutdown();
    return 0;
}
