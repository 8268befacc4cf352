// Prints what the npm package mdb-reader sees in an Access file, as JSON:
// { tables: [...], systemTables: [...], password, creationDate, data: { name: { columns: [{name, type, size}], rowCount, rows: [[...], ...] } } }.
// Usage: node mdb_reader_dump.mjs NODE_MODULES FILE [TABLE...]
import { readFileSync } from "node:fs";
import path from "node:path";
import { pathToFileURL } from "node:url";

const [nodeModules, file, ...only] = process.argv.slice(2);
const { default: MDBReader } = await import(
    pathToFileURL(path.join(nodeModules, "mdb-reader", "lib", "node", "index.js")).href
);
const reader = new MDBReader(readFileSync(file));
const tables = reader.getTableNames();
const data = {};
for (const name of only.length ? only : tables) {
    const table = reader.getTable(name);
    const columns = table.getColumns().map((c) => ({ name: c.name, type: c.type, size: c.size }));
    const rows = table.getData().map((r) =>
        columns.map((c) => {
            const v = r[c.name];
            if (v === null) return null;
            if (v instanceof Date) return v.toISOString();
            if (Buffer.isBuffer(v)) return v.toString("hex");
            return v;
        })
    );
    data[name] = { columns, rowCount: table.rowCount, rows };
}
const systemTables = reader.getTableNames({ normalTables: false, systemTables: true });
process.stdout.write(
    JSON.stringify({
        tables,
        systemTables,
        password: reader.getPassword(),
        creationDate: reader.getCreationDate()?.toISOString() ?? null,
        data,
    })
);
