#pragma once

#include <json/json.h>

#include <map>
#include <set>
#include <string>
#include <vector>

// The simulated server's database: tables of rows whose values are all text, a
// user table, and the few SQL forms the console sends.
class ZnSimData
{
public:
    // Tables named case-insensitively; each row a JSON object of strings.
    std::map<std::string, std::vector<Json::Value>> tables;
    std::map<std::string, std::string> users; // name -> password
    // Left by applyChange: the reason of a refusal, sent as the answer's body, and
    // the records a change deleted as (DELETE type name, id), pushed when changes are.
    std::string refusal;
    std::vector<std::pair<std::string, int>> deletions;

    // Database backups by file name: the MD5 the server reported and the tables
    // a recovery with that file and digest brings back.
    struct Backup
    {
        std::string md5;
        std::map<std::string, std::vector<Json::Value>> tables;
    };
    std::map<std::string, Backup> backups;
    // When set, the folders on disk of the file service's backup and recovery
    // folders: a backup is written there as a file, and a recovery reads the
    // uploaded file from there and restores it only when its MD5 matches.
    std::string backupFolder;
    std::string recoveryFolder;
    // What a backup does wrong on purpose: the file served differs from the one
    // digested, or the digest is reported in capitals.
    bool corruptBackupFile = false;
    bool upperCaseBackupMd5 = false;
    // When set, the backup is kept, served and reported under this name instead.
    std::string reportedBackupName;
    // Settings refused with "refused": parameter names, "admin" for the password.
    std::set<std::string> refusedSettings;

    // Fills every family with the small sample set of data/sample.json.
    void loadSample();
    // Adds the rows of data/demo.json, which the demo shows besides the sample set.
    void loadDemo();
    void addRow(const std::string& table, const Json::Value& row);
    // Sets (or adds) a row of the server's "parameter" table, e.g. Talk_Log_Server.
    void setParameter(const std::string& name, const std::string& value);
    std::vector<Json::Value>& table(const std::string& name);
    // Adds n rows of "ipamp"-like terminals to a table, ids from firstId.
    void addTerminals(const std::string& table, int firstId, int count);
    // Adds count rows to every terminal family, each a copy of the family's first
    // row under a new id; the ids of all families together run on from firstId.
    void addRowsPerFamily(int firstId, int count);

    // The recording files that the talk log names, newest first.
    std::vector<std::string> recordingPaths() const;

    // The "level" table as the keyless SET "LevelList" XML that the server pushes.
    std::string levelListXml() const;

    // Answers a SELECT as a JSON array; false when the statement is not understood.
    bool query(const std::string& sql, Json::Value& rows) const;

    // Applies a change request; the name of the table it changed ("" for none) and
    // the changed rows, to push when asked to. False when the change is refused.
    bool applyChange(const std::string& packetType, const std::string& body, std::string& table, Json::Value& changed);

    // "DataBackup": keeps the tables under the requested file name and answers
    // {"BackupFile", "Md5"}. "DataRecovery": restores them when file and digest match.
    bool backup(const std::string& body, std::string& answer);
    bool recover(const std::string& body);
    // Every table as one JSON object, as a backup file holds them.
    std::string dump() const;

    // The answer to a one-record query ("Data:" kind, "Id:" id): the family's list
    // element holding one child whose attributes are the row's columns; no child
    // when the table has no such terminal.
    std::string recordXml(const std::string& kind, int id) const;

    static std::string lower(std::string text);
    static std::string json(const Json::Value& value);

private:
    bool selectOne(const std::string& sql, Json::Value& rows) const;
    Json::Value* findRow(const std::string& table, const std::string& key, const std::string& id);
    int nextId(const std::string& table, const std::string& key) const;
    // A console's book replaced whole by the items of its change, as a "books" rule says.
    bool takeBook(const Json::Value& rule, const std::string& id, const Json::Value& in);
    // The D72 and D74 button calls, replaced whole.
    bool takeButtonCalls(const std::string& packetType, const Json::Value& in);
};
