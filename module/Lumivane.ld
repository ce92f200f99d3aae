/* How Lumivane.gau is laid out: the script `i686-w64-mingw32-ld --verbose`
   prints (one script serves programs and DLLs), cut to what the gauge has, with
   four sections where the default makes seven: .text, .data, .edata, .rsrc,
   .reloc less one. Each section costs at least one 512-byte block of the file,
   so the small ones are merged: the import tables go into .data and the
   read-only data behind the export directory in .edata. The module then fits
   in 32 KiB. Nothing of the records' contents or order changes; only where the
   linker puts them.

   Why the Windows 95 loader takes it:
   - File alignment stays 512 and section alignment 4096, the defaults,
     pinned on the link line (module/CMakeLists.txt): Windows 95 maps each
     section from a 512-aligned file offset.
   - The import tables, the IAT with them, are in .data, which is writable.
     Windows 95 writes the resolved addresses into the IAT in place, without
     changing any page protection, so an IAT in a read-only section fails the
     load. (The default script's .idata is writable for the same reason.)
   - The export directory starts .edata, as with the default script. ld fills
     the header's export entry from the section of that name, so its size
     spans the section: the directory, then the read-only data after it. A
     loader reads the directory from its start; the size only serves to tell a
     forwarded export (an address inside the range) from a real one, and both
     exports, Linkage and ImportTable, lie in .data, outside it.
     tools/CheckModuleShape.py checks that they stay there.
   - The base relocations keep their own .reloc section: the host may load
     the module away from its preferred base.
   - No TLS, load configuration, delay-import or bound-import directory is
     made; the gauge has no start files that would ask for one.

   The header's import entries: ld fills the import directory and IAT entries
   of the header from symbols named .idata$2, .idata$4, .idata$5 and .idata$6
   when they exist, and otherwise from a section named .idata. They are
   defined here as image-relative addresses, which ld puts in the header as
   they are, so the entries give the exact extent of the descriptors and of
   the IAT. */
OUTPUT_FORMAT(pei-i386)
SECTIONS
{
  . = SIZEOF_HEADERS;
  . = ALIGN(__section_alignment__);
  .text __image_base__ + ( __section_alignment__ < 0x1000 ? . : __section_alignment__ ) :
  {
    *(.text)
    *(SORT(.text$*))
    *(.text.*)
    /* The gauge has no static constructors or destructors (and no start
       files to run them); the lists stay, empty, as the default has them. */
    ___CTOR_LIST__ = .;
    __CTOR_LIST__ = .;
    LONG (-1);
    KEEP(*(.ctors));
    KEEP(*(.ctor));
    KEEP(*(SORT_BY_NAME(.ctors.*)));
    LONG (0);
    ___DTOR_LIST__ = .;
    __DTOR_LIST__ = .;
    LONG (-1);
    KEEP(*(.dtors));
    KEEP(*(.dtor));
    KEEP(*(SORT_BY_NAME(.dtors.*)));
    LONG (0);
  }
  .data BLOCK(__section_alignment__) :
  {
    __data_start__ = . ;
    *(.data)
    *(.data2)
    *(SORT(.data$*))
    __data_end__ = . ;
    /* Zero-filled data takes file space here instead of a section of its
       own: the gauge has a few words of it. */
    __bss_start__ = . ;
    *(.bss)
    *(SORT(.bss$*))
    *(COMMON)
    __bss_end__ = . ;
    . = ALIGN(4);
    /* The import descriptors, the null descriptor that ends them, the name
       tables, the IAT and the names, in the default script's order. */
    ".idata$2" = . - __image_base__;
    KEEP (SORT(*)(.idata$2))
    KEEP (SORT(*)(.idata$3))
    LONG (0); LONG (0); LONG (0); LONG (0); LONG (0);
    ".idata$4" = . - __image_base__;
    KEEP (SORT(*)(.idata$4))
    __IAT_start__ = .;
    ".idata$5" = . - __image_base__;
    KEEP (SORT(*)(.idata$5))
    __IAT_end__ = .;
    ".idata$6" = . - __image_base__;
    KEEP (SORT(*)(.idata$6))
    KEEP (SORT(*)(.idata$7))
  }
  .edata BLOCK(__section_alignment__) :
  {
    *(.edata)
    *(.rdata)
    *(SORT(.rdata$*))
    . = ALIGN(4);
    __rt_psrelocs_start = .;
    KEEP(*(.rdata_runtime_pseudo_reloc))
    __rt_psrelocs_end = .;
  }
  __rt_psrelocs_size = __rt_psrelocs_end - __rt_psrelocs_start;
  ___RUNTIME_PSEUDO_RELOC_LIST_END__ = __rt_psrelocs_end;
  __RUNTIME_PSEUDO_RELOC_LIST_END__ = __rt_psrelocs_end;
  ___RUNTIME_PSEUDO_RELOC_LIST__ = __rt_psrelocs_start;
  __RUNTIME_PSEUDO_RELOC_LIST__ = __rt_psrelocs_start;
  /* Kept as the default has them, so that anything that would need them
     shows up as a section of its own (and fails tools/CheckModuleShape.py)
     instead of hiding in another. */
  .eh_frame BLOCK(__section_alignment__) :
  {
    KEEP(*(.eh_frame*))
  }
  .pdata BLOCK(__section_alignment__) :
  {
    KEEP(*(.pdata*))
  }
  .CRT BLOCK(__section_alignment__) :
  {
    KEEP (*(SORT(.CRT$*)))
  }
  .tls BLOCK(__section_alignment__) :
  {
    KEEP (*(.tls$AAA))
    KEEP (*(.tls))
    KEEP (*(.tls$))
    KEEP (*(SORT(.tls$*)))
    KEEP (*(.tls$ZZZ))
  }
  .rsrc BLOCK(__section_alignment__) : SUBALIGN(4)
  {
    KEEP (*(.rsrc))
    KEEP (*(.rsrc$*))
  }
  .reloc BLOCK(__section_alignment__) :
  {
    *(.reloc)
  }
  /DISCARD/ :
  {
    *(.debug$S)
    *(.debug$T)
    *(.debug$F)
    *(.drectve)
    *(.note.GNU-stack)
    *(.gnu.lto_*)
  }
}
