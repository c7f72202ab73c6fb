/* Started by the process tests: writes its arguments and its open descriptors
   to the file named by SPAWN_HELPER_OUTPUT, each on a line of its own
   ("arg <text>", "fd <number>", then "end"). With SPAWN_HELPER_FIFO set it
   then waits until the test opens that FIFO for writing. */
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

int main(int argc, char** argv) {
    const char* output = getenv("SPAWN_HELPER_OUTPUT");
    if (!output) return 2;
    char temporary[4096];
    snprintf(temporary, sizeof temporary, "%s.part", output);
    FILE* file = fopen(temporary, "we");
    if (!file) return 3;
    fprintf(file, "pid %d\n", (int)getpid());
    for (int i = 1; i < argc; ++i) fprintf(file, "arg %s\n", argv[i]);
    DIR* fds = opendir("/proc/self/fd");
    if (!fds) return 4;
    struct dirent* entry;
    while ((entry = readdir(fds)) != NULL) {
        if (entry->d_name[0] == '.') continue;
        int fd = atoi(entry->d_name);
        if (fd != dirfd(fds) && fd != fileno(file)) fprintf(file, "fd %d\n", fd);
    }
    closedir(fds);
    fprintf(file, "end\n");
    fclose(file);
    rename(temporary, output);
    const char* fifo = getenv("SPAWN_HELPER_FIFO");
    if (fifo) {
        int fd = open(fifo, O_RDONLY | O_CLOEXEC);
        if (fd >= 0) close(fd);
    }
    return 0;
}
