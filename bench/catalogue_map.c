// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
/* The floor under the start-up of umbrivista-cli: a C program that maps the catalogue file the
 * way the catalogue reader does (one mmap, paged in at once), reads one byte of every record and
 * exits. No C++ runtime, no Qt: what any program that answers from the catalogue must spend.
 *
 *   catalogue_map FILE      prints the number of records and a checksum of the bytes read
 */
#include <fcntl.h>
#include <stdio.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

enum { kRecordSize = 170 };

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: catalogue_map FILE\n");
    return 2;
  }
  const int fd = open(argv[1], O_RDONLY | O_CLOEXEC);
  struct stat st;
  if (fd < 0 || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size == 0) {
    fprintf(stderr, "catalogue_map: %s: not a readable, non-empty file\n", argv[1]);
    return 1;
  }
  const size_t size = (size_t)st.st_size;
  const unsigned char* bytes = mmap(NULL, size, PROT_READ, MAP_SHARED | MAP_POPULATE, fd, 0);
  if (bytes == MAP_FAILED) {
    perror("catalogue_map: mmap");
    return 1;
  }
  unsigned long checksum = 0;
  for (size_t at = 0; at < size; at += kRecordSize) checksum = checksum * 31 + bytes[at];
  printf("%zu records, checksum %lu\n", size / kRecordSize, checksum);
  munmap((void*)bytes, size);
  close(fd);
  return 0;
}
