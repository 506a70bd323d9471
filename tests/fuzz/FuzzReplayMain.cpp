// Without a fuzzing compiler the fuzz targets still run in the test suite:
// this entry replays every file of the corpus folders given as arguments.
#include <cstdint>
#include <cstdio>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv)
{
    int files = 0;
    for (int i = 1; i < argc; ++i) {
        DIR *dir = opendir(argv[i]);
        if (!dir) {
            std::fprintf(stderr, "no corpus folder %s\n", argv[i]);
            return 1;
        }
        while (dirent *e = readdir(dir)) {
            if (e->d_name[0] == '.')
                continue;
            std::ifstream in(std::string(argv[i]) + "/" + e->d_name, std::ios::binary);
            std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                       std::istreambuf_iterator<char>());
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++files;
        }
        closedir(dir);
    }
    std::printf("replayed %d inputs\n", files);
    return 0;
}
