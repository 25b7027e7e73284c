#pragma once

// Which chunks a changed cell can alter: its own and, where the cell lies on a face
// of its chunk, the one neighbour across that face on each axis. Chunks meeting it
// only at an edge or corner share no face with the cell.

struct ChunkCoord {
    int cx, cy, cz;
};

struct TouchedChunks {
    ChunkCoord chunks[4]; // own chunk, then the x, y and z neighbours present
    int count;
};

// Cell (x, y, z) inside a map of chunkCountX x chunkCountY x chunkCountZ chunks.
TouchedChunks touchedChunks(int x, int y, int z, int chunkCountX, int chunkCountY, int chunkCountZ);
