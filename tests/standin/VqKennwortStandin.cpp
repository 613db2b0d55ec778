#include <cstdlib>
#include <fstream>
#include <string_view>

// Accepts when VQ_STANDIN_ANSWER is "1"; appends each prompt to the file named by VQ_STANDIN_LOG.
extern "C" __attribute__((visibility("default"))) int VqKennwort(const char* prompt)
{
    if (const char* log = std::getenv("VQ_STANDIN_LOG")) {
        std::ofstream file(log, std::ios::binary | std::ios::app);
        file << (prompt ? prompt : "") << '\n';
    }
    const char* answer = std::getenv("VQ_STANDIN_ANSWER");
    return answer && std::string_view(answer) == "1" ? 1 : 0;
}
