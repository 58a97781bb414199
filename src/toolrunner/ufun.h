/* The CAD library's C interface. Every call returns 0 on success. Paths are Windows paths in cp932. */
#ifndef VELMORA_TOOLRUNNER_UFUN_H
#define VELMORA_TOOLRUNNER_UFUN_H

#ifdef __cplusplus
extern "C" {
#endif

typedef unsigned int uf_tag_t;
typedef struct {
  int failed;
  int n_parts;
  int reserved[6];
} uf_load_status_t;
typedef struct {
  int values[32];
} uf_assem_options_t;

int UF_initialize(void);
int UF_terminate(void);
int UF_PART_open(const char* part_path, uf_tag_t* part, uf_load_status_t* status);
int UF_PART_save(void); /* saves the part opened last */
int UF_PART_close_all(void);
int UF_ASSEM_ask_assem_options(uf_assem_options_t* options);
int UF_ASSEM_set_assem_options(const uf_assem_options_t* options);

#ifdef __cplusplus
}
#endif

#endif
