// Benchmark of the bitmap reader against stb_image and against the floor of
// any reader (map the file, copy its pixel bytes into a fresh buffer), on a
// 4096 x 4096 24-bit file and a 4096 x 4096 8-bit palettised file.
#define STB_IMAGE_IMPLEMENTATION
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stb_image.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "image/bitmap_reader.h"

namespace {

constexpr int side = 4096;
// Throughput is counted in RGB bytes delivered, the same for every reader of a file.
constexpr std::int64_t rgb_bytes = std::int64_t{side} * side * 3;

struct BenchFile {
    const char* path;
    int bits_per_pixel;
};
const BenchFile file_24{"/tmp/orrery_bench_24.bmp", 24};
const BenchFile file_8{"/tmp/orrery_bench_8.bmp", 8};

void append_u16(std::vector<std::uint8_t>* bytes, std::uint16_t value) {
    bytes->push_back(std::uint8_t(value));
    bytes->push_back(std::uint8_t(value >> 8));
}

void append_u32(std::vector<std::uint8_t>* bytes, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) bytes->push_back(std::uint8_t(value >> shift));
}

// Writes a bottom-up file with file header and info header; the pixels vary
// so that neither reader meets a uniform picture.
bool write_bench_file(const BenchFile& file) {
    const std::uint32_t table_entries = file.bits_per_pixel == 8 ? 256 : 0;
    const std::uint32_t row_bytes = side * (file.bits_per_pixel / 8);  // 4096 wide: no padding
    const std::uint32_t offset = 14 + 40 + 4 * table_entries;
    std::vector<std::uint8_t> bytes = {'B', 'M'};
    append_u32(&bytes, offset + row_bytes * side);
    append_u32(&bytes, 0);
    append_u32(&bytes, offset);
    for (std::uint32_t field : {40u, std::uint32_t(side), std::uint32_t(side)})
        append_u32(&bytes, field);
    append_u16(&bytes, 1);  // planes
    append_u16(&bytes, std::uint16_t(file.bits_per_pixel));
    for (int i = 0; i < 6; ++i) append_u32(&bytes, 0);  // compression to colours important
    for (std::uint32_t i = 0; i < table_entries; ++i) append_u32(&bytes, i * 0x010307u);
    bytes.reserve(bytes.size() + std::size_t{row_bytes} * side);
    std::uint32_t state = 12345;
    for (std::size_t i = 0; i < std::size_t{row_bytes} * side; ++i) {
        state = state * 1103515245u + 12345u;
        bytes.push_back(std::uint8_t(state >> 16));
    }
    std::FILE* out = std::fopen(file.path, "wb");
    if (out == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return std::fclose(out) == 0 && written;
}

void read_ours(benchmark::State& state, const BenchFile& file) {
    for (auto _ : state) {
        RgbImage* image = read_bitmap_image(file.path);
        if (image == nullptr) {
            state.SkipWithError("read_bitmap_image failed");
            break;
        }
        benchmark::DoNotOptimize(image->pixels);
        std::free(image->pixels);
        std::free(image);
    }
    state.SetBytesProcessed(state.iterations() * rgb_bytes);
}

void read_stb(benchmark::State& state, const BenchFile& file) {
    for (auto _ : state) {
        int width = 0, height = 0, channels = 0;
        stbi_uc* pixels = stbi_load(file.path, &width, &height, &channels, 3);
        if (pixels == nullptr) {
            state.SkipWithError("stbi_load failed");
            break;
        }
        benchmark::DoNotOptimize(pixels);
        stbi_image_free(pixels);
    }
    state.SetBytesProcessed(state.iterations() * rgb_bytes);
}

// The least any reader does: open and map the file, allocate a fresh buffer
// of its pixel bytes and copy them into it. The second form asks for huge
// pages for the buffer, as our reader does, to show the cost of the
// conversion alone.
void read_floor(benchmark::State& state, const BenchFile& file, bool huge_pages) {
    for (auto _ : state) {
        const int fd = open(file.path, O_RDONLY);
        struct stat status;
        fstat(fd, &status);
        const auto size = std::size_t(status.st_size);
        void* view = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        const auto* bytes = static_cast<const std::uint8_t*>(view);
        const std::uint32_t offset = bytes[10] | bytes[11] << 8 | bytes[12] << 16 | bytes[13] << 24;
        auto* pixels = static_cast<std::uint8_t*>(std::malloc(size - offset));
        if (huge_pages) {
            const auto first =
                (reinterpret_cast<std::uintptr_t>(pixels) + 4095) & ~std::uintptr_t{4095};
            const auto end =
                (reinterpret_cast<std::uintptr_t>(pixels) + size - offset) & ~std::uintptr_t{4095};
            madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
        }
        std::memcpy(pixels, bytes + offset, size - offset);
        benchmark::DoNotOptimize(pixels);
        std::free(pixels);
        munmap(view, size);
        close(fd);
    }
    state.SetBytesProcessed(state.iterations() * rgb_bytes);
}

BENCHMARK_CAPTURE(read_ours, 24_bit, file_24)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(read_stb, 24_bit, file_24)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(read_floor, 24_bit, file_24, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(read_floor, 24_bit_huge_pages, file_24, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(read_ours, 8_bit, file_8)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(read_stb, 8_bit, file_8)->Unit(benchmark::kMillisecond);

// Prints the usual table, keeping each run's time for the ratios at the end.
class RatioReporter : public benchmark::ConsoleReporter {
   public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                times_[run.benchmark_name()] = run.GetAdjustedRealTime();
            }
        }
    }
    void print_ratios() const {
        for (const char* format : {"24_bit", "8_bit"}) {
            const double ours = time_of("read_ours", format);
            if (ours > 0) {
                std::printf("%s: ours is %.2fx faster than stb_image\n", format,
                            time_of("read_stb", format) / ours);
            }
        }
        const double ours = time_of("read_ours", "24_bit");
        if (ours > 0) {
            std::printf("24_bit: ours takes %.2fx the floor's time (%.2fx with huge pages)\n",
                        ours / time_of("read_floor", "24_bit"),
                        ours / time_of("read_floor", "24_bit_huge_pages"));
        }
    }

   private:
    double time_of(const char* reader, const char* format) const {
        const auto found = times_.find(std::string(reader) + "/" + format);
        return found == times_.end() ? 0.0 : found->second;
    }
    std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
    if (!write_bench_file(file_24) || !write_bench_file(file_8)) {
        std::fprintf(stderr, "cannot write the benchmark files in /tmp\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.print_ratios();
    benchmark::Shutdown();
    std::remove(file_24.path);
    std::remove(file_8.path);
    return 0;
}
