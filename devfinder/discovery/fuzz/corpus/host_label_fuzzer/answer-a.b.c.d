
Ma.b.c.d