// The tables of the key's database as the product creates them. The tool
// itself never creates a table; the test fixtures and the demo key do.
// Ids and byte offsets are declared INTEGER: the tool compares them both
// with bare and with quoted numbers, which needs integer affinity.
#pragma once

namespace schema {

inline constexpr const char* kCreateTables[] = {
    "CREATE TABLE DRIVERS (NOMEFILE TEXT, MARCA TEXT, MODELLO TEXT, DESCRIZIONE TEXT, "
    "DOWNLOADED TEXT, FLAG_USER TEXT, SUSPENDED TEXT, START_MD5 INTEGER, END_MD5 INTEGER, "
    "MD5 TEXT, M_CENTRALINA TEXT, V_CENTRALINA TEXT, N_CENTRALINA TEXT, T_EPROM TEXT, "
    "CKS TEXT);",
    "CREATE TABLE ORI (ID_ORI INTEGER, ID_DRIVER TEXT, NOTE TEXT, NOMEFILE TEXT, PATH TEXT, "
    "MD5 TEXT, LAST_MOD_DATE TEXT);",
    "CREATE TABLE MOD (ID_MOD INTEGER, NOMEFILE TEXT, ID_ORI INTEGER, NOTE TEXT, PATH TEXT, "
    "MD5 TEXT, LAST_MOD_DATE TEXT);",
    "CREATE TABLE DRV_DOWNLOAD (ID_REQUEST INTEGER, ID_DRV_DOWNLOAD TEXT, DOWNLOADED TEXT, "
    "ERROR TEXT, REQUEST_DATE TEXT);",
    "CREATE TABLE zkm_system (ID_CLIENTE TEXT);",
};

}  // namespace schema
